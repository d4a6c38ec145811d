#!/usr/bin/env bash
# A clipboard owner that never answers: the capture gives up after a short
# wait (1.5 s; Qt alone would wait 10 s), says so, and the slot keeps its text.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
start_velmora
set_clipboard "kept text"
click_capture 4
# An owner that holds the selection and is then stopped. -quiet keeps xclip in
# the foreground, so that $! is the owner itself.
printf 'frozen' | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
PIDS+=($!)
wait_until output_is "$(hex_of frozen)" clipboard_hex || fail "xclip did not take the clipboard"
kill -STOP "${PIDS[-1]}"
click_capture 4
expect "the bar reports the silent owner" message_box_shown
answer_message_box Return
kill -KILL "${PIDS[-1]}"
expect "the message box closes" message_box_gone
set_clipboard "other"
click_slot 4
expect "slot 4 kept its label" output_is "Velmora - kept te..." window_title
expect "slot 4 kept its text" output_is "$(hex_of 'kept text')" clipboard_hex
finish
