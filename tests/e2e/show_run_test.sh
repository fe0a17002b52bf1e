#!/usr/bin/env bash
# Five seconds of the real show from BUILD/show under Xvfb with SDL's disk
# audio driver: the music plays, the frame loop runs, Escape ends it with 0.
set -u
BUILD=$1
SRC=$2
source "$SRC/tests/lib.sh"
zk_start_xvfb || exit 1

work=$(mktemp -d)
trap 'kill -9 ${pid:-} 2>/dev/null; kill $ZK_XVFB_PID 2>/dev/null; rm -rf "$work"' EXIT
# The show reads its files from the working folder and writes its log there
# (a log left in the show folder by an earlier run must not be taken along).
for f in "$BUILD"/show/*; do [ "${f##*/}" = zelkor.log ] || ln -s "$f" "$work/"; done
cd "$work"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"

./marovy > stdout.txt 2> stderr.txt &
pid=$!
zk_dialog_press alt+s || { kill -9 $pid; zk_fail "no dialog"; }
zk_wait_for 120 grep -q "Entering mainloop" zelkor.log || { kill -9 $pid; cat zelkor.log stderr.txt; zk_fail "no main loop"; }
win=$(zk_find_window ZELKOR) || { kill -9 $pid; zk_fail "no ZELKOR window"; }
sleep 5
kill -0 $pid 2>/dev/null || { cat zelkor.log stderr.txt; zk_fail "the show ended before Escape"; }
zk_press "$win" Escape
zk_wait_exit $pid Escape
[ $ZK_STATUS -eq 0 ] || { cat stderr.txt; zk_fail "exit status $ZK_STATUS"; }
grep -q "SceneDispatcher encountered error" zelkor.log && zk_fail "the dispatcher failed"
grep -q "end logging at" zelkor.log || zk_fail "no end line in the log"
# At least a few seconds of 44.1 kHz stereo 16-bit went to the audio device,
# and not silence.
bytes=$(stat -c %s audio.raw 2>/dev/null || echo 0)
[ "$bytes" -gt $((2 * 44100 * 4)) ] || zk_fail "only $bytes bytes of audio were played"
od -An -tx1 -v -j $((bytes / 2)) -N 4096 audio.raw | grep -qv '^\( 00\)*$' || zk_fail "the music is silent"
echo "show_run: ok"
