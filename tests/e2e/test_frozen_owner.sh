#!/usr/bin/env bash
# A clipboard owner that never answers: the capture gives up after a short
# wait, says so, and the slot keeps its text.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
start_velmora

set_clipboard "kept text"
click_capture 4
set_clipboard "other"

# xclip owns the clipboard, then is stopped: it holds the selection and never answers.
printf 'frozen' | xclip -selection clipboard -i
owner=$(pgrep -n -x xclip)
kill -STOP "$owner"
resume_owner() { kill -KILL "$owner" 2>/dev/null || true; }
trap 'resume_owner; cleanup' EXIT

click_capture 4
# Generous bound: the bar waits 1.5 s for the owner; Qt alone would wait 10 s.
for i in $(seq 60); do
    message_box_shown && break
    sleep 0.1
done
message_box_shown && pass "the bar reports the silent owner within 6 s" || fail "no message within 6 s"
answer_message_box Return
resume_owner

wait_until [ "$(window_count '^Velmora$')" -eq 1 ] ||
    fail "message box still open: $(xdotool search --onlyvisible --pid "$VELMORA_PID" --name . | xargs -r -n1 xwininfo -id | grep -E 'id:|Map State')"
set_clipboard "other"
click_slot 4
wait_until title_is "Velmora - kept te..." && pass "slot 4 kept its label" || fail "title: $(window_title)"
check "slot 4 kept its text" "$(hex_of 'kept text')" "$(clipboard_hex)"
finish
