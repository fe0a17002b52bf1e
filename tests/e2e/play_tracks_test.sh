#!/usr/bin/env bash
# Parameter tracks from the maker's side: the editor overlay of `zelkor play`
# sets a key by keys and saves tracks.txt; an edit from outside is taken in
# (a bad one refused with its line); capture draws the tracks as play does.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$1"
mkdir show
printf 'Fill 0 #c0c0c0\n' >p.txt
"$ZELKOR" rgs asm p.txt -o p.rgs && "$ZELKOR" rgs run p.rgs --tga show/tarnis_credits.tga \
    >/dev/null || zk_fail "picture"
echo "0 60000 scene1" >tt.txt
"$ZELKOR" tmg compile tt.txt -o default.tmg && "$ZELKOR" vkz create show/data.vkz default.tmg \
    >/dev/null || zk_fail "archive"
printf '# the maker'"'"'s notes\nbpm 128 rows 4\n' >show/tracks.txt

SDL_AUDIODRIVER=dummy "$ZELKOR" play --dir show --at 9.1 --window=320x240 2>err.txt &
pid=$!
title() { xwininfo -root -tree 2>/dev/null | grep -o '"zelkor play  [^"]*"' | head -1; }
wait_title() { zk_wait_for 10 sh -c "xwininfo -root -tree | grep -Eq '\"zelkor play  .*$1'" ||
    zk_fail "title never matched '$1': $(title)"; }
zk_wait_for 30 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" || zk_fail "no window"
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
zk_wait_for 5 grep -q 'zelkor play: saved show/tracks.txt' err.txt || zk_fail "no save: $(cat err.txt)"
head -1 show/tracks.txt | grep -q "the maker's notes" || zk_fail "notes lost: $(cat show/tracks.txt)"
grep -A1 '^track global.fade$' show/tracks.txt | grep -Eq '^(12[89]|13[0-9]) 1$' ||
    zk_fail "the key is not in the file: $(cat show/tracks.txt)"

# Saved from another editor: a slower grid moves the title's bar; a file with
# an error keeps the tracks before it and names its line.
printf 'bpm 60 rows 4\ntrack global.fade\n0 0\n' >new.txt && mv new.txt show/tracks.txt
zk_wait_for 5 grep -q 'zelkor play: reloaded show/tracks.txt' err.txt || zk_fail "no reload: $(cat err.txt)"
wait_title '  bar 4\.4  '
printf 'bpm 128 rows 4\ntrack global.fade\n5 1\n3 1\n' >new.txt && mv new.txt show/tracks.txt
zk_wait_for 5 grep -q 'show/tracks.txt: line 4: rows out of order' err.txt ||
    zk_fail "the bad file: $(cat err.txt)"
sleep 0.3
title | grep -q '  bar 4\.4  ' || zk_fail "a bad file replaced the tracks: $(title)"
zk_press "$win" Escape
zk_wait_exit $pid "Escape"
[ "$ZK_STATUS" -eq 0 ] || zk_fail "exit status $ZK_STATUS: $(cat err.txt)"
pid=

# Capture: black under global.fade 1 (until row 16), then the picture at the
# brightness its track gives (a quarter: darker, though the strokes stay).
printf 'bpm 128 rows 4\ntrack global.fade\n0 1\n16 0\ntrack scene1.picture.brightness\n0 0.25\n' \
    >show/tracks.txt
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
