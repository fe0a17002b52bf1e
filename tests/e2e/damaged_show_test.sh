#!/usr/bin/env bash
# The built show (BUILD/show) with damaged files, run under Xvfb: each case
# must end by itself, with the exit status and log of a normal run.
set -u
BUILD=$1
SRC=$2
source "$SRC/tests/lib.sh"
ZELKOR=$BUILD/tools/zelkor/zelkor
zk_start_xvfb || exit 1

work=$(mktemp -d)
trap 'kill $ZK_XVFB_PID 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"

# fresh_show: the show's files in the working folder, as links, with a short
# timetable that runs a real scene past the end of a one-second track.
fresh_show() {
    find . -mindepth 1 -delete
    for f in "$BUILD"/show/*; do
        case "${f##*/}" in data.vkz | zelkor.log) ;; *) ln -s "$f" . ;; esac
    done
    printf '0 500 preload\n500 3000 scene1\n3500 200 ende\n' >timetable.txt
    "$ZELKOR" tmg compile timetable.txt -o default.tmg || zk_fail "tmg compile"
    "$ZELKOR" vkz create data.vkz default.tmg >/dev/null || zk_fail "vkz create"
}

# ends_by_itself NAME: marovy must end on "ende" with 0 within 120 s, after a
# complete start-up and main loop.
ends_by_itself() {
    zk_run_to_end "$1" ./marovy 120
    [ "$(zk_log_lines)" = "$ZK_STARTUP_LOG
end logging at" ] || { cat zelkor.log; zk_fail "$1: log differs"; }
}

# --- a truncated download: the music stops after about a second, the
# programme plays on silently and ends on "ende" ---
fresh_show
rm sound.mp3
head -c 20000 "$BUILD/show/sound.mp3" >sound.mp3
ends_by_itself "short track"

# --- special files in place of the show's files (FIFO cases go here) ---

echo "damaged_show: ok"
