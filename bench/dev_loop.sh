#!/usr/bin/env bash
# The maker's loop in `zelkor dev`: the time from a save to the first frame
# drawn with it, for a scene's source (compiled and linked, the library
# reloaded), the tracks (taken in by play at once; the build packs them
# after) and a picture's texture script (the picture made again by the
# build, then reloaded). A new project (zelkor new) on the engine installed
# into a scratch prefix, 800x600, silent; five saves of each. The times are
# dev's own "drawn N ms after FILE was saved" and play's "drawn N ms after it
# was written" for the tracks.
# Usage: bench/dev_loop.sh [BUILD] [SAVES]   (default: build, 5)
#   CMAKE_GENERATOR=Ninja bench/dev_loop.sh   the project built with Ninja
set -u
B=$(cd "${1:-build}" && pwd)
N=${2:-5}
source "$(dirname "$0")/../tests/lib.sh"
zk_e2e_begin "$B"
cmake --install "$B" --prefix "$ZK_WORK/prefix" >install.log 2>&1 || { cat install.log; zk_fail "install"; }
export PATH="$ZK_WORK/prefix/bin:$PATH"
zelkor new mine >/dev/null || zk_fail "zelkor new"
zelkor dev mine --no-sound --window=800x600 2>dev.log &
pid=$!
zk_wait_for 600 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" || zk_fail "no window: $(cat dev.log)"
sleep 2
count() { grep -c "$1" dev.log; }
# save PATTERN FILE SED: edits FILE and waits for one more PATTERN line and
# for the build it started to end.
save() {
    local seen built
    seen=$(count "$1") built=$(count '^zelkor dev: \(built\|the build failed\)')
    sed -i "$3" "$2"
    zk_wait_for 120 sh -c "[ \$(grep -c '$1' dev.log) -gt $seen ]" || zk_fail "not drawn: $(cat dev.log)"
    zk_wait_for 120 sh -c "[ \$(grep -c '^zelkor dev: \(built\|the build failed\)' dev.log) -gt $built ]" ||
        zk_fail "not built: $(cat dev.log)"
    sleep 0.5
}
for i in $(seq 1 "$N"); do
    save 'drawn [0-9]* ms after mine/scenes/glow.cpp was saved' mine/scenes/glow.cpp \
        "s/static const float kColour\[3\] = {[^}]*}/static const float kColour[3] = {0.$i, 0.5, 0.2}/"
done
for i in $(seq 1 "$N"); do
    save 'reloaded mine/tracks.txt (.*drawn [0-9]* ms after' mine/tracks.txt "s/^64 .*/64   $i.5 smooth/"
done
for i in $(seq 1 "$N"); do
    save 'drawn [0-9]* ms after mine/textures/backdrop.script was saved' mine/textures/backdrop.script \
        "s/^Colorize 1 [0-9]* /Colorize 1 $((20 + i * 10)) /"
done
kill $pid
wait $pid 2>/dev/null
pid=
# summary WHAT PATTERN: each time, then the median and the worst.
summary() {
    local times
    times=$(grep "$2" dev.log | grep -o 'drawn [0-9]* ms after' | awk '{ print $2 }')
    echo "$1, each save, ms: $(echo $times)"
    echo "$times" | sort -n | awk -v what="$1" '{ v[NR] = $1 } END {
        printf "%s save to first frame: median %d ms, worst %d ms (%d saves)\n", what, v[int((NR + 1) / 2)], v[NR], NR }'
}
summary "scene source" 'mine/scenes/glow.cpp was saved'
summary "tracks" 'reloaded mine/tracks.txt'
summary "picture script" 'mine/textures/backdrop.script was saved'
grep '^zelkor dev: built' dev.log | awk '{ print $5 }' | sort -n |
    awk '{ v[NR] = $1 } END { printf "builds: median %.1f s, worst %.1f s (%d)\n", v[int((NR + 1) / 2)], v[NR], NR }'
echo "generator: $(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' mine/build/CMakeCache.txt)"
