#!/usr/bin/env bash
# `zelkor rgs view` on two scripts that run in order (the second copies what
# the first made): the title and the window follow each save of a script, and
# a script with an error keeps the last good picture.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$1"

save() { printf '%s\n' "$2" >"$1.new" && mv "$1.new" "$1"; } # as editors save
save a.txt 'Fill 1 #ff0000'
save b.txt 'CopyChannels 0 1 1 1 1'
"$ZELKOR" rgs view a.txt b.txt --layer 0 --scale 0.5 2>err.txt &
pid=$!

title() { xwininfo -root -tree 2>/dev/null | grep -o '"zelkor rgs view  [^"]*"' | head -1; }
wait_title() { zk_wait_for 10 sh -c "xwininfo -root -tree | grep -Eq '\"zelkor rgs view  $1'" ||
    zk_fail "title never matched '$1': $(title)"; }
wait_title 'a\.txt\+b\.txt  [0-9]+ ms  random 0"'
win=$(xwininfo -root -tree | awk '/"zelkor rgs view  / { print $1; exit }')
shot() { import -window "$win" "$1"; }
is_red() { shot red.png && [ "$(convert red.png -format '%[fx:mean.r] %[fx:mean.g] %w' info:)" = "1 0 128" ]; }
zk_wait_for 5 is_red || zk_fail "layer 0 is not the first script's red"

# A new first script: a new picture and a new generator state.
save a.txt 'Cells 1 20 5 1 1 1'
wait_title 'a\.txt\+b\.txt  [0-9]+ ms  random 2893197605"'
changed() { shot cells.png && [ "$(compare -metric AE red.png cells.png null: 2>&1)" != 0 ]; }
zk_wait_for 5 changed || zk_fail "the picture did not change"
sleep 0.3
shot cells.png

# An error: its line on stderr and in the title, and the picture stays; the
# next good save brings the usual title back.
save a.txt $'# a comment\nBogus 1 2'
zk_wait_for 10 grep -q '^zelkor rgs view: a.txt: line 2: ' err.txt || zk_fail "no error: $(cat err.txt)"
wait_title 'a\.txt: line 2: unknown operation .Bogus.  '
import -window "$win" kept.png
[ "$(compare -metric AE cells.png kept.png null: 2>&1)" = 0 ] || zk_fail "the picture changed"
save a.txt 'Cells 1 20 5 1 1 1'
wait_title 'a\.txt\+b\.txt  [0-9]+ ms  random 2893197605"'

zk_press "$win" Escape
zk_wait_exit $pid "Escape"
[ "$ZK_STATUS" -eq 0 ] || zk_fail "exit status $ZK_STATUS: $(cat err.txt)"
pid=

# A compiled script cut short, a FIFO and a link to a device put in its place
# are refused, saying why (neither waits nor reads on); a script that takes
# seconds leaves the window answering Escape.
compiled() { printf '%s\n' "$@" >c.txt && "$ZELKOR" rgs asm c.txt -o c.new && mv c.new c.rgs; }
compiled 'Fill 0 #ff0000' 'Invert 1'
"$ZELKOR" rgs view c.rgs 2>err.txt &
pid=$!
wait_title 'c\.rgs  [0-9]+ ms'
win=$(xwininfo -root -tree | awk '/"zelkor rgs view  / { print $1; exit }')
head -c 40 c.rgs >cut.rgs && mv cut.rgs c.rgs
zk_wait_for 10 grep -q 'c.rgs: file ends after 1 of its 2 commands; the last good picture stays' \
    err.txt || zk_fail "a script cut short: $(cat err.txt)"
refused() { [ "$(grep -c 'c.rgs: not a regular file' err.txt)" = "$1" ]; }
mkfifo fifo.rgs && mv fifo.rgs c.rgs
zk_wait_for 10 refused 1 || zk_fail "a FIFO: $(cat err.txt)"
ln -s /dev/zero zero.rgs && mv zero.rgs c.rgs
zk_wait_for 10 refused 2 || zk_fail "a link to a device: $(cat err.txt)"
for _ in $(seq 1 200); do echo "Blur3x3 0 255"; done >c.txt
"$ZELKOR" rgs asm c.txt -o c.new && mv c.new c.rgs
sleep 1
zk_press "$win" Escape
for _ in $(seq 1 30); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && zk_fail "Escape waited for a heavy script"
wait $pid
pid=
echo "rgs view: ok"
