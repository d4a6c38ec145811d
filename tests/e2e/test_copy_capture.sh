#!/usr/bin/env bash
# The user's view of copy and capture: the clipboard as another program sees it,
# byte for byte, and the window title.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
start_velmora

check "title at start" "Velmora" "$(window_title)"

# Accents and a line break, captured through capture button 1.
text=$'Çà et là\nbientôt'
set_clipboard "$text"
click_capture 1
# Another program takes the clipboard; slot button 1 must bring the text back.
set_clipboard "something else"
wait_until [ "$(clipboard_hex)" == "$(hex_of 'something else')" ] || fail "clipboard not replaced"
click_slot 1
wait_until title_is "Velmora - Çà et l..." || true
check "title after copying slot 1" "Velmora - Çà et l..." "$(window_title)"
check "clipboard after copying slot 1" "$(hex_of "$text")" "$(clipboard_hex)"

# A CR LF text into slot 7, copied through the Copy Text menu. A captured label
# carries no access key: the keyboard reaches the entry with the arrow keys,
# skipping the disabled entries between slots 1 and 7.
text2=$'line one\r\nline two\r\n'
set_clipboard "$text2"
click_capture 7
set_clipboard "other"
key alt+t Down Return
wait_until title_is "Velmora - line on..." || true
check "title after Copy Text 7" "Velmora - line on..." "$(window_title)"
check "clipboard after Copy Text 7" "$(hex_of "$text2")" "$(clipboard_hex)"

# Four-byte characters stay whole in the label.
text3=$'abcdef\U0001F600 smile'
set_clipboard "$text3"
click_capture 3
set_clipboard "other"
click_slot 3
wait_until title_is $'Velmora - abcdef\U0001F600...' || true
check "title keeps the emoji whole" $'Velmora - abcdef\U0001F600...' "$(window_title)"
check "clipboard after copying slot 3" "$(hex_of "$text3")" "$(clipboard_hex)"

# A clipboard holding only a picture captures an empty text labelled "...".
printf '\x89PNG\r\n\x1a\n' >"$WORK/picture.png"
xclip -selection clipboard -t image/png -i "$WORK/picture.png"
click_capture 10
set_clipboard "other"
click_slot 10
wait_until title_is "Velmora - ..." || true
check "title after copying a picture-only capture" "Velmora - ..." "$(window_title)"
check "clipboard text after copying it" "" "$(clipboard_hex)"

# An empty slot copies an empty text and shows the program title alone.
set_clipboard "other"
click_slot 5
wait_until title_is "Velmora" || true
check "title after copying an empty slot" "Velmora" "$(window_title)"
check "clipboard after copying an empty slot" "" "$(clipboard_hex)"

kill -0 "$VELMORA_PID" 2>/dev/null && pass "still running" || fail "velmora ended"
finish
