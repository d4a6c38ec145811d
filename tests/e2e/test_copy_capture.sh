#!/usr/bin/env bash
# The user's view of copy and capture: the clipboard as another program sees it,
# byte for byte, and the window title.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
start_velmora
expect "title at start" output_is Velmora window_title

# row SLOT CLIPBOARD HOW TITLE: another program puts the text on the clipboard
# ("<picture>": only a picture, "<none>": no capture), the slot captures it,
# another program takes the clipboard, and the slot is copied back by its button
# or by the keys of the Copy Text menu.
row() {
    local text=$2
    case $text in
    "<none>") text="" ;;
    "<picture>")
        printf '\x89PNG\r\n\x1a\n' | xclip -selection clipboard -t image/png -i
        wait_until sh -c 'xclip -selection clipboard -t TARGETS -o | grep -q image/png' && text="" && click_capture "$1" ;;
    *) set_clipboard "$text" && click_capture "$1" ;;
    esac
    set_clipboard "other"
    if [ "$3" == button ]; then click_slot "$1"; else key $3; fi
    expect "title after copying slot $1" output_is "$4" window_title
    expect "clipboard after copying slot $1" output_is "$(hex_of "$text")" clipboard_hex
}
row 1 $'Çà et là\nbientôt' button "Velmora - Çà et l..."
# A captured label has no access key: the arrow keys reach entry 7 past the disabled ones.
row 7 $'line one\r\nline two\r\n' "alt+t Down Return" "Velmora - line on..."
row 3 $'abcdef\U0001F600 smile' button $'Velmora - abcdef\U0001F600...'
row 10 "<picture>" button "Velmora - ..."
row 5 "<none>" button "Velmora"
finish
