#!/usr/bin/env bash
# The track editor's Ctrl+S keeps what is on disk: a key set, undone and
# redone by keys is saved with every comment and untouched line kept; a
# read-only file is refused; a file changed since play read it (here one
# with an error play refused) is kept, the tracks going beside it; a FIFO or
# a link to a device is refused without blocking, and Escape still leaves.
# Play runs without a working audio device: silent, saying why.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$1"
zk_scene1_show show || zk_fail "the show"
printf '# notes\nbpm 128 rows 4\n\n# the fade, by hand\ntrack global.fade\n0    0   # dark later\n' \
    >show/tracks.txt
cp show/tracks.txt first.txt

SDL_AUDIODRIVER=no_such_driver "$ZELKOR" play --dir show --at 9.1 --window=320x240 2>err.txt &
pid=$!
zk_wait_for 30 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" || zk_fail "no window"
win=$(xwininfo -root -tree | awk '/"zelkor play  / { print $1; exit }')
[ "$(grep -c "no_such_driver" err.txt)" = 1 ] && grep -q 'no_such_driver' show/zelkor.log ||
    zk_fail "no sound, no reason: $(cat err.txt)"
zk_press "$win" space
zk_wait_for 10 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  .*\[paused\]'" ||
    zk_fail "not paused"
saves() { grep -c "$1" err.txt; }
save() { # save WHAT-IT-SAYS: Ctrl+S, then wait for one more such line
    local n
    n=$(saves "$1")
    zk_press "$win" ctrl+s
    zk_wait_for 5 sh -c "[ \$(grep -c '$1' err.txt) -gt $n ]" || zk_fail "Ctrl+S: $(cat err.txt)"
}

# 1 Enter sets global.fade at this row; undone, the file saved is the one read.
zk_press "$win" Tab
for k in 1 Return ctrl+z; do zk_press "$win" $k; done
save 'saved show/tracks.txt'
cmp -s show/tracks.txt first.txt || zk_fail "undo: $(cat show/tracks.txt)"
zk_press "$win" ctrl+shift+z
save 'saved show/tracks.txt'
head -6 show/tracks.txt | cmp -s - first.txt && sed -n 7p show/tracks.txt | grep -Eq '^1[23][0-9]  +1$' ||
    zk_fail "redo: $(cat show/tracks.txt)"
cp show/tracks.txt saved.txt

chmod 444 show/tracks.txt
save 'show/tracks.txt: not saved: the file is read-only'
chmod 644 show/tracks.txt

# Another editor saves with a typo: play keeps its tracks, Ctrl+S keeps the file.
printf 'bpm 128 rows 4\ntrack global.fade\n0 0 lin\n' >typo.txt
cp typo.txt new.txt && mv new.txt show/tracks.txt
zk_wait_for 5 grep -q 'show/tracks.txt: line 3: unknown interpolation' err.txt || zk_fail "typo: $(cat err.txt)"
save 'show/tracks.play.txt'
cmp -s show/tracks.txt typo.txt && cmp -s show/tracks.play.txt saved.txt ||
    zk_fail "changed file: $(cat show/tracks.txt; cat show/tracks.play.txt)"

rm show/tracks.txt && mkfifo show/tracks.txt
save 'show/tracks.txt: not saved: it is a FIFO'
rm show/tracks.txt && ln -s /dev/zero show/tracks.txt
save 'show/tracks.txt: not saved: it is a device'
zk_press "$win" Escape
zk_wait_exit $pid "Escape"
[ "$ZK_STATUS" -eq 0 ] || zk_fail "exit status $ZK_STATUS: $(cat err.txt)"
echo "play save: ok"
