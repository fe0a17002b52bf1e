#!/usr/bin/env bash
# `zelkor play` on a small show made here, driven by keys as a maker would:
# start at a time, pause (picture and music), seek, jump to the next entry,
# loop a one-second entry, and a picture replaced (then broken) while the show
# runs. The title tells the time; SDL's disk driver records the music.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$1"
mkdir show

picture() { # NAME COLOUR: a one-colour picture, written elsewhere and renamed over
    printf 'Fill 0 %s\n' "$2" >p.txt
    "$ZELKOR" rgs asm p.txt -o p.rgs && "$ZELKOR" rgs run p.rgs --tga p.tga >/dev/null &&
        mv p.tga "show/$1" || zk_fail "picture $1"
}
picture tarnis_credits.tga '#4060a0'
picture tarnis_2.tga '#406040'
picture tarnis_7.tga '#00c000'
cat >tt.txt <<'EOF'
0      19000   scene1
19000  7000    scene4
26000  1000    scene9
27000  100000  scene4
EOF
"$ZELKOR" tmg compile tt.txt -o default.tmg && "$ZELKOR" vkz create show/data.vkz default.tmg \
    >/dev/null || zk_fail "archive"
sox -n -r 44100 -c 2 -b 16 tone.wav synth 30 sine 440 vol 0.4 2>/dev/null &&
    lame --quiet -b 32 tone.wav show/sound.mp3 || zk_fail "music"

SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$ZK_WORK/device.raw" \
    "$ZELKOR" play --dir show --at 20000 --window=320x240 2>err.txt &
pid=$!

title() { xwininfo -root -tree 2>/dev/null | grep -o '"zelkor play  [^"]*"' | head -1; }
# The title's music time in ms.
title_ms() { title | awk '{ split($3, t, "[:.]"); print (t[1] * 60 + t[2]) * 1000 + t[3] }'; }
# wait_title PATTERN: up to 10 s for the title to match (an extended regex).
wait_title() { zk_wait_for 10 sh -c "xwininfo -root -tree | grep -Eq '\"zelkor play  .*$1'" ||
    zk_fail "title never matched '$1': $(title)"; }
size() { stat -c %s device.raw; }

zk_wait_for 30 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" || zk_fail "no window"
win=$(xwininfo -root -tree | awk '/"zelkor play  / { print $1; exit }')
# The clock starts at 20 s, not at 0: the first title already says so, the
# music waiting there until the exact picture is drawn.
title | grep -Eq '  00:2[01]\.[0-9]{3}  bar [0-9.]+  scene4  [0-9]+ fps( \[exact pending\])?"' ||
    zk_fail "start: $(title)"
wait_title '[0-9] fps"'

# Space: the time and the recorded music stand still.
s0=$(size); sleep 0.5
[ "$(size)" -gt "$s0" ] || zk_fail "no music reaches the device"
zk_press "$win" space
wait_title '\[paused\]'
sleep 0.3
t1=$(title_ms) s1=$(size)
sleep 1
[ "$(title_ms)" = "$t1" ] || zk_fail "paused time moved: $t1 -> $(title_ms)"
[ "$(size)" = "$s1" ] || zk_fail "paused music still grows: $s1 -> $(size)"

# Right: 2 s on; Page Down: the next entry's start.
zk_press "$win" Right
wait_title "00:$(printf '%02d.%03d' $(((t1 + 2000) / 1000)) $(((t1 + 2000) % 1000)))"
zk_press "$win" Next
wait_title '00:26\.000  bar [0-9.]+  scene4\+scene9 '

# L loops the one-second scene9 entry: three seconds later it is still there.
zk_press "$win" l
wait_title '\[loop\]'
zk_press "$win" space
wait_title '[0-9] fps \[loop\]'
sleep 3
for _ in 1 2 3 4 5; do
    t=$(title_ms)
    [ "$t" -ge 26000 ] && [ "$t" -le 27100 ] || zk_fail "the loop left its entry: $t"
    sleep 0.2
done

# A picture replaced while the show runs (paused, so only the picture
# changes): the reload line, and the window turns red.
zk_press "$win" space
wait_title '\[paused\] \[loop\]'
# However late the pause, the picture and the clock stay inside the entry.
t=$(title_ms)
[ "$t" -ge 26000 ] && [ "$t" -lt 27000 ] || zk_fail "paused outside the looped entry: $t"
red() { import -window "$win" shot.png && convert shot.png -format '%[fx:mean.r]' info:; }
redder() { awk -v a="$before" -v b="$(red)" 'BEGIN { exit !(b > a + 0.1) }'; }
before=$(red)
picture tarnis_7.tga '#ff0000'
zk_wait_for 10 grep -q 'zelkor play: reloaded show/tarnis_7.tga ([0-9]* ms)' err.txt ||
    zk_fail "no reload line: $(cat err.txt)"
zk_wait_for 5 redder || zk_fail "the new picture is not shown ($before -> $(red))"
# A broken picture: an error, and the red one stays.
echo broken >show/tarnis_7.tga
zk_wait_for 10 grep -q '^zelkor play: show/tarnis_7.tga: ' err.txt || zk_fail "no error: $(cat err.txt)"
sleep 0.5
redder || zk_fail "the broken picture replaced the good one ($before -> $(red))"

# A wider window (a resize, full screen): the picture keeps 4:3 in its
# middle, between black bars.
zk_press "$win" space
wait_title '[0-9] fps \[loop\]'
xdotool windowsize "$win" 640 240
strips() { local x; import -window "$win" wide.png && for x in 0 480; do
    convert wide.png -crop "160x240+$x+0" -format '%[fx:maxima] ' info:; done; }
zk_wait_for 5 sh -c '[ "$(xwininfo -id '"$win"' | awk "/Width:/ { print \$2 }")" = 640 ]' ||
    zk_fail "the window was not resized"
sleep 0.5
[ "$(strips)" = "0 0 " ] || zk_fail "the bars of a 640x240 window are not black: $(strips)"

zk_press "$win" Escape
zk_wait_exit $pid "Escape"
[ "$ZK_STATUS" -eq 0 ] || zk_fail "exit status $ZK_STATUS: $(cat err.txt)"
pid=

# --- what a maker's desk throws at it: a script that takes seconds (the show
# plays on; a newer save stops it), a script cut short and a timetable with
# overlapping entries (refused, saying why), the show folder replaced by a
# copy (taken in), a linked log (refused) and a read-only folder (the log
# goes to the state folder) ---
script() { # FILE LINES...: a texture script, assembled elsewhere and renamed over
    local out=$1
    shift
    printf '%s\n' "$@" >s.txt && "$ZELKOR" rgs asm s.txt -o s.rgs 2>/dev/null && mv s.rgs "$out" ||
        zk_fail "script $out"
}
heavy=()
for _ in $(seq 1 200); do heavy+=("Blur3x3 0 255"); done
export XDG_STATE_HOME=$ZK_WORK/state
"$ZELKOR" play --dir show --window=320x240 2>err.txt &
pid=$!
zk_wait_for 30 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" || zk_fail "no window"
win=$(xwininfo -root -tree | awk '/"zelkor play  / { print $1; exit }')
script show/wobble.rgs "${heavy[@]}"
sleep 1
t1=$(title_ms)
sleep 2
[ "$(title_ms)" -gt $((t1 + 1000)) ] || zk_fail "a heavy script froze the show at $t1 ms"
script show/wobble.rgs "Fill 0 #00ff00" "Invert 0"
zk_wait_for 10 grep -q 'zelkor play: reloaded show/wobble.rgs' err.txt ||
    zk_fail "the newer save did not stop the heavy run: $(cat err.txt)"
head -c 40 show/wobble.rgs >cut.rgs && mv cut.rgs show/wobble.rgs
zk_wait_for 10 grep -q 'show/wobble.rgs: file ends after 1 of its 2 commands' err.txt ||
    zk_fail "a script cut short: $(cat err.txt)"
printf '0 100000 scene4\n5000 1000 scene4\n' >twice.txt
"$ZELKOR" tmg compile twice.txt -o default.tmg 2>/dev/null &&
    "$ZELKOR" vkz create twice.vkz default.tmg >/dev/null && mv twice.vkz show/data.vkz ||
    zk_fail "overlapping archive"
zk_wait_for 10 grep -q "show/data.vkz: default.tmg: entry 2: 'scene4' overlaps its entry 1" err.txt ||
    zk_fail "overlapping entries: $(cat err.txt)"
cp -a show show.new && rm -rf show && mv show.new show # as git checkout replaces a folder
zk_wait_for 10 grep -q "show: the folder was replaced; taking in the new one" err.txt ||
    zk_fail "the replaced folder: $(cat err.txt)"
picture tarnis_2.tga '#ff00ff'
zk_wait_for 10 grep -q 'zelkor play: reloaded show/tarnis_2.tga' err.txt ||
    zk_fail "a save into the new folder: $(cat err.txt)"
zk_press "$win" Escape
zk_wait_exit $pid "Escape"
[ "$ZK_STATUS" -eq 0 ] || zk_fail "exit status $ZK_STATUS: $(cat err.txt)"
pid=

"$ZELKOR" tmg compile tt.txt -o default.tmg && "$ZELKOR" vkz create show/data.vkz default.tmg \
    >/dev/null || zk_fail "archive"
printf 'keep me' >precious
ln -sf "$ZK_WORK/precious" show/zelkor.log
"$ZELKOR" play --dir show 2>err.txt
[ $? = 1 ] && grep -q "show/zelkor.log: cannot write the log: it is a symbolic link" err.txt ||
    zk_fail "a linked log: $(cat err.txt)"
[ "$(cat precious)" = "keep me" ] || zk_fail "the log wrote through its link"
rm show/zelkor.log
# A read-only bind mount in a mount namespace of its own (root only).
if unshare -m true 2>/dev/null; then
    unshare -m sh -c 'mount --bind show show && mount -o remount,ro,bind show &&
        exec "$0" play --dir show --window=320x240' "$ZELKOR" 2>err.txt &
    pid=$!
    zk_wait_for 30 grep -q Returning "$XDG_STATE_HOME/zelkor/zelkor.log" ||
        zk_fail "read-only show: no log in the state folder: $(cat err.txt)"
    grep -q "zelkor play: show cannot be written; the log goes to $XDG_STATE_HOME/zelkor/zelkor.log" \
        err.txt || zk_fail "read-only show: not said where the log goes: $(cat err.txt)"
    kill $pid
    wait $pid
    pid=
else
    echo "no mount namespace: the read-only show folder is skipped"
fi
echo "play: ok"
