#!/usr/bin/env bash
# Parameter tracks from the maker's side, on a built show whose record names
# its project's tracks.txt (a link to a shared file): play names the file it
# uses; the editor overlay sets a key by keys and saves it there, never in the
# show folder; an edit from outside is taken in, through the link (a bad one
# refused with its line); deleting the file brings back the archive's
# tracks; capture draws the tracks as play does.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$1"
printf 'bpm 128 rows 4\n' >archive.txt
"$ZELKOR" trk compile archive.txt -o default.trk && zk_scene1_show show default.trk ||
    zk_fail "the show"
mkdir proj shared
printf 'source ../proj\ntracks ../proj/tracks.txt\n' >show/sources.txt
printf '# the maker'"'"'s notes\nbpm 128 rows 4\n\n# by hand\n' >shared/tracks.txt
ln -s ../shared/tracks.txt proj/tracks.txt
printf 'bpm 128 rows 4\n' >show/tracks.txt # left there by hand: passed over

"$ZELKOR" play --dir show --no-sound --at 9.1 --window=320x240 2>err.txt &
pid=$!
title() { xwininfo -root -tree 2>/dev/null | grep -o '"zelkor play  [^"]*"' | head -1; }
wait_title() { zk_wait_for 10 sh -c "xwininfo -root -tree | grep -Eq '\"zelkor play  .*$1'" ||
    zk_fail "title never matched '$1': $(title)"; }
zk_wait_for 30 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" || zk_fail "no window"
grep -q '^zelkor play: the tracks of proj/tracks.txt (the editor saves there)$' err.txt &&
    grep -q 'show/tracks.txt is passed over' err.txt || zk_fail "the tracks in use: $(cat err.txt)"
win=$(xwininfo -root -tree | awk '/"zelkor play  / { print $1; exit }')
zk_press "$win" space
wait_title '00:1[56]\.[0-9]{3}  bar (9|10)\.[1-4]  scene1 .*\[paused\]'
brightest() { import -window "$win" shot.png && convert shot.png -format '%[fx:maxima]' info:; }
[ "$(brightest)" != 0 ] || zk_fail "the picture is black before any track"

# Tab, 1, Enter: a key of global.fade (the first column) at this row; the
# picture turns black. Ctrl+S writes it, the maker's notes kept.
zk_press "$win" Tab
zk_press "$win" 1
zk_press "$win" Return
zk_press "$win" Tab
zk_wait_for 5 sh -c '[ "$(import -window '"$win"' png:- | convert - -format "%[fx:maxima]" info:)" = 0 ]' ||
    zk_fail "global.fade 1 left the picture at $(brightest)"
zk_press "$win" Tab
zk_press "$win" ctrl+s
zk_wait_for 5 grep -q 'zelkor play: saved proj/tracks.txt' err.txt || zk_fail "no save: $(cat err.txt)"
[ -L proj/tracks.txt ] && [ "$(cat show/tracks.txt)" = "bpm 128 rows 4" ] ||
    zk_fail "saved in the wrong place"
head -4 shared/tracks.txt | tr '\n' '|' | grep -q "^# the maker's notes|bpm 128 rows 4||# by hand|" ||
    zk_fail "notes lost: $(cat shared/tracks.txt)"
grep -A1 '^track global.fade$' shared/tracks.txt | grep -Eq '^(12[89]|13[0-9]) 1$' ||
    zk_fail "the key is not in the file: $(cat shared/tracks.txt)"

# Saved from another editor, through the link: a slower grid moves the
# title's bar; a file with an error keeps the tracks before it and names its
# line; deleted, the archive's grid holds again.
printf 'bpm 60 rows 4\ntrack global.fade\n0 0\n' >new.txt && mv new.txt shared/tracks.txt
zk_wait_for 5 grep -q 'zelkor play: reloaded proj/tracks.txt' err.txt || zk_fail "no reload: $(cat err.txt)"
wait_title '  bar 4\.4  '
printf 'bpm 128 rows 4\ntrack global.fade\n5 1\n3 1\n' >new.txt && mv new.txt shared/tracks.txt
zk_wait_for 5 grep -q 'proj/tracks.txt: line 4: rows out of order' err.txt ||
    zk_fail "the bad file: $(cat err.txt)"
sleep 0.3
title | grep -q '  bar 4\.4  ' || zk_fail "a bad file replaced the tracks: $(title)"
n=$(grep -c 'reloaded proj/tracks.txt' err.txt)
printf 'bpm 60 rows 4\n' >shared/tracks.txt # read again: the file play holds
zk_wait_for 5 sh -c "[ \$(grep -c 'reloaded proj/tracks.txt' err.txt) -gt $n ]" || zk_fail "no reload"
rm shared/tracks.txt
zk_wait_for 5 grep -q 'proj/tracks.txt is gone; the tracks of show/data.vkz play again' err.txt ||
    zk_fail "deleted: $(cat err.txt)"
wait_title '  bar (9|10)\.[1-4]  '
zk_press "$win" Escape
zk_wait_exit $pid "Escape"
[ "$ZK_STATUS" -eq 0 ] || zk_fail "exit status $ZK_STATUS: $(cat err.txt)"
pid=

# Capture: black under global.fade 1 (until row 16), then the picture at the
# brightness its track gives (a quarter: darker, though the strokes stay).
printf 'bpm 128 rows 4\ntrack global.fade\n0 1\n16 0\ntrack scene1.picture.brightness\n0 0.25\n' \
    >tracked.txt && mv tracked.txt proj/tracks.txt
printf 'bpm 128 rows 4\n' >plain.txt
mean() { convert "$1" -format '%[fx:mean]' info:; }
"$ZELKOR" capture --dir show --size 160x120 --at 1000,3000 -o tracked/ >/dev/null 2>&1 &&
    "$ZELKOR" capture --dir show --tracks plain.txt --size 160x120 --at 3000 -o plain/ \
        >/dev/null 2>&1 || zk_fail "capture"
[ "$(convert tracked/frame_001000.png -format '%[fx:maxima]' info:)" = 0 ] ||
    zk_fail "global.fade 1 is not black in the capture"
awk -v a="$(mean tracked/frame_003000.png)" -v b="$(mean plain/frame_003000.png)" \
    'BEGIN { exit !(a < b - 0.1 && a > 0) }' ||
    zk_fail "brightness 0.25: $(mean tracked/frame_003000.png) against $(mean plain/frame_003000.png)"
echo "play tracks: ok"
