#!/usr/bin/env bash
# The bar's X11 clipboard as other programs see it: texts of every size byte for byte, several readers
# at once (xclip and xsel), readers that stop, the forms a program may ask for (the Latin-1 rule:
# tst_x11clipboardowner), the handover at exit.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
printf x >"$WORK/byte"
head -c 750000 /dev/urandom | base64 >"$WORK/1mb"
head -c 37500000 /dev/urandom | base64 >"$WORK/50mb"
printf 'Çà et là, señor' >"$WORK/latin1"
printf '日本語 ✓ \U0001F600' >"$WORK/beyond"
# A clip document whose slots hold these files byte for byte, labelled with their names.
{ for f in byte 1mb 50mb latin1 beyond; do printf '"%s"\r\n"' $f && cat "$WORK/$f" && printf '"\r\n'; done
  for _ in 1 2 3 4 5; do printf '""\r\n""\r\n'; done; } >"$WORK/texts.vmd"
start_velmora "$WORK/texts.vmd"

# The readers give up on their own after a minute, should the bar never finish.
reads() { timeout 60 "${@:2}" 2>/dev/null | cmp -s "$WORK/$1" -; }
copy() { click_slot "$1" && WAIT=60 expect "slot $1 copied" output_is "Velmora - $2" window_title; }
for slot in 1:byte 2:1mb 3:50mb; do
    copy "${slot%:*}" "${slot#*:}"
    expect "xclip -o reads the ${slot#*:} text whole" reads "${slot#*:}" xclip -selection clipboard -o
done

xclip -selection clipboard -o >"$WORK/first" & first=$! && PIDS+=($first)
xsel -b -o >"$WORK/second" & second=$! && PIDS+=($second)
wait "$first" "$second" || true
expect "the first of two readers at once gets the 50 MB text" cmp -s "$WORK/50mb" "$WORK/first"
expect "and so does the second" cmp -s "$WORK/50mb" "$WORK/second"

# One reader quits after 5 MB, another stops reading there: the bar answers
# others meanwhile, and its text stays whole.
timeout 60 xclip -selection clipboard -o | head -c 5000000 >/dev/null || true
xclip -selection clipboard -o | { head -c 5000000 >/dev/null && touch "$WORK/halfway" && exec sleep 600; } &
PIDS+=($!)
expect "a reader stops after 5 MB" test -e "$WORK/halfway"
expect "another reads the whole text meanwhile" reads 50mb xsel -b -o
copy 1 byte
expect "the bar hands over another slot" reads byte xclip -selection clipboard -o
copy 3 50mb

# Our own text is captured at once, without asking the X server, which would ask the bar.
click_capture 7
copy 7 "$(head -c 7 "$WORK/50mb")..."
expect "a capture of the bar's own 50 MB text keeps it whole" reads 50mb xclip -selection clipboard -o

targets() { xclip -selection clipboard -t TARGETS -o | tr '\n' ' '; }
copy 4 latin1
expect "a Latin-1 text as STRING is its Latin-1 bytes" output_is c7e0206574206ce02c207365f16f72 clipboard_hex -t STRING
expect "TARGETS lists the text forms first" output_is \
    "UTF8_STRING text/plain;charset=utf-8 text/plain TEXT STRING TARGETS MULTIPLE TIMESTAMP SAVE_TARGETS " targets
copy 5 beyond
expect "a text beyond Latin-1 as TEXT is its UTF-8 bytes" output_is "$(od -An -tx1 "$WORK/beyond" | tr -d ' \n')" \
    clipboard_hex -t TEXT
refused() { ! xclip -selection clipboard -t "$1" -o >/dev/null 2>&1; }
expect "it is refused as STRING, whose characters it has not" refused STRING
expect "and TARGETS offers no STRING" output_is \
    "UTF8_STRING text/plain;charset=utf-8 text/plain TEXT TARGETS MULTIPLE TIMESTAMP SAVE_TARGETS " targets

# At its exit the bar hands the text to a clipboard manager.
"$CLIPBOARD_MANAGER" >"$WORK/kept" 2>"$WORK/manager.log" & PIDS+=($!)
expect "a clipboard manager runs" grep -q ready "$WORK/manager.log"
key alt+f x
answer_message_box alt+n
expect "the bar ends" exited
expect "the manager keeps the bar's text" cmp -s "$WORK/beyond" "$WORK/kept"
expect "the bar refuses the form it has not" grep -q "picture refused" "$WORK/manager.log"
finish
