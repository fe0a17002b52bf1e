#!/usr/bin/env bash
# `zelkor play` where a maker meets the end of the show and edits the
# timetable: a paused window drawn again when resized, a saved timetable with
# a misspelt scene warned about (with the suggestion) and one with an error
# quoting its token, "ende" moved before the playhead held (not quit), and a
# start past the end (--at, --scene ende) told where the show ends.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$1"
zk_make_show "$ZELKOR" show scripts "0 6000 scene1
6000 200 ende" || zk_fail "making the show"
sox -n -r 44100 -c 2 -b 16 tone.wav synth 60 sine 440 vol 0.2 2>/dev/null &&
    lame --quiet -b 32 tone.wav show/sound.mp3 || zk_fail "music"

save() { printf '%s\n' "$1" >tt.new && mv tt.new tt.txt; } # as editors save
save $'0 60000 scene1\n60000 200 ende'
"$ZELKOR" play --dir show --timetable tt.txt --window 320x240 2>err.txt &
pid=$!
title() { xwininfo -root -tree 2>/dev/null | grep -o '"zelkor play  [^"]*"' | head -1; }
wait_title() { zk_wait_for 10 sh -c "xwininfo -root -tree | grep -Eq '\"zelkor play  .*$1'" ||
    zk_fail "title never matched '$1': $(title)"; }
wait_err() { zk_wait_for 10 grep -qF "$1" err.txt || zk_fail "no '$1' in: $(cat err.txt)"; }
zk_wait_for 30 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" || zk_fail "no window"
win=$(xwininfo -root -tree | awk '/"zelkor play  / { print $1; exit }')

# Paused, then made wider: the picture is drawn again in the middle, the
# 160-pixel strips either side black (not the old picture left where it was).
sleep 1
zk_press "$win" space
wait_title '\[paused\]'
xdotool windowsize "$win" 640 240
strips() { import -window "$win" wide.png && for x in 0 480 240; do
    convert wide.png -crop "160x240+$x+0" -format '%[fx:maxima] ' info:; done; }
zk_wait_for 5 sh -c '[ "$(xwininfo -id '"$win"' | awk "/Width:/ { print \$2 }")" = 640 ]' ||
    zk_fail "the window was not resized"
sleep 0.5
read -r left right middle <<<"$(strips)"
[ "$left $right" = "0 0" ] && [ "$middle" != 0 ] || zk_fail "paused, not drawn again: $(strips)"
zk_press "$win" space

# A misspelt name: the warning tmg compile gives, on reload.
save $'0 60000 scene1\n0 60000 scen4\n60000 200 ende'
wait_err "zelkor play: tt.txt: line 2: warning: no scene is registered as 'scen4' (did you mean 'scene4'?)"
# A parse error quotes what it could not read; the old timetable stays.
save $'0 60000 scene1\n1:00 200 ende'
wait_err "zelkor play: tt.txt: line 2: expected a decimal number, not '1:00'"
# "ende" before the playhead: the show holds its end, paused, and goes on
# answering keys; Escape leaves with 0.
save $'0 60000 scene1\n500 200 ende'
wait_title '00:00\.500  bar [0-9.]+  scene1\+ende  [0-9]+ fps \[end: Escape leaves\]"'
sleep 1
kill -0 $pid 2>/dev/null || zk_fail "play quit at the end: $(cat err.txt)"
zk_press "$win" Home
wait_title '00:00\.000  bar [0-9.]+  scene1  [0-9]+ fps \[paused\]"'
zk_press "$win" Escape
zk_wait_exit $pid "Escape"
[ "$ZK_STATUS" -eq 0 ] || zk_fail "exit status $ZK_STATUS: $(cat err.txt)"

# A start past the end, by time or by "ende" itself: where the show ends,
# and its last frame held.
for start in "--at 2:00" "--scene ende"; do
    # shellcheck disable=SC2086 # two words
    "$ZELKOR" play --dir show $start --window 320x240 2>err.txt &
    pid=$!
    wait_err 'zelkor play: the show ends at 0:06.000 (6000 ms), where "ende" starts'
    wait_title '00:06\.000  bar [0-9.]+  scene1\+ende  [0-9]+ fps \[end: Escape leaves\]"'
    zk_press "$(xwininfo -root -tree | awk '/"zelkor play  / { print $1; exit }')" Escape
    zk_wait_exit $pid "Escape after $start"
    [ "$ZK_STATUS" -eq 0 ] || zk_fail "$start: exit status $ZK_STATUS: $(cat err.txt)"
done
pid=
echo "play_end: ok"
