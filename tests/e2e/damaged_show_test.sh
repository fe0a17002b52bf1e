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

# fresh_show: copies of the show's files in the working folder (the built
# show is never written to), with a short timetable that runs a real scene
# past the end of a one-second track.
fresh_show() {
    local f
    find . -mindepth 1 -delete
    for f in "$BUILD"/show/*; do
        case "${f##*/}" in data.vkz | zelkor.log) ;; *) cp "$f" . ;; esac
    done
    printf '0 500 preload\n500 3000 scene1\n3500 200 ende\n' >timetable.txt
    "$ZELKOR" tmg compile timetable.txt -o default.tmg || zk_fail "tmg compile"
    "$ZELKOR" vkz create data.vkz default.tmg >/dev/null || zk_fail "vkz create"
}

# ends_by_itself NAME [START-UP LOG]: marovy must end on "ende" with 0 within
# 120 s, after a complete start-up (the show's log unless another is given)
# and main loop.
ends_by_itself() {
    zk_run_to_end "$1" ./marovy 120
    [ "$(zk_log_lines)" = "${2:-$ZK_STARTUP_LOG}
end logging at" ] || { cat zelkor.log; zk_fail "$1: log differs"; }
}

# --- a truncated download: the music stops after about a second, the
# programme plays on silently and ends on "ende" ---
fresh_show
rm sound.mp3
head -c 20000 "$BUILD/show/sound.mp3" >sound.mp3
ends_by_itself "short track"

# --- FIFOs in place of the show's files: each is refused without blocking,
# as if it were missing. A picture or the track: the show runs and ends; the
# picture is named in the log by both scenes that load it. ---
picture_log=$(echo "$ZK_STARTUP_LOG" |
    sed -e '/^Pre-Initializing scene 6$/a tarnis_credits.tga (scene1): not a regular file' \
        -e '/^Pre-Initializing credits end$/a tarnis_credits.tga (creditsend): not a regular file')
for f in sound.mp3 tarnis_credits.tga; do
    fresh_show
    rm "$f"
    mkfifo "$f"
    [ -p "$f" ] || zk_fail "FIFO $f: not made in the scratch folder"
    ends_by_itself "FIFO $f" "$([ $f = sound.mp3 ] && echo "$ZK_STARTUP_LOG" || echo "$picture_log")"
done

# fails_with_box NAME: the start-up shows the "Marovy" box instead of hanging
# in open(); dismissed, the run ends with 255.
fails_with_box() {
    timeout -s KILL 60 ./marovy >stdout.txt 2>stderr.txt &
    local pid=$!
    zk_dialog_press alt+s || { kill -9 $pid; zk_fail "$1: no dialog"; }
    zk_wait_for 30 zk_find_window Marovy || { kill -9 $pid; zk_fail "$1: no Marovy box"; }
    zk_press "$(zk_find_window Marovy)" Return
    zk_wait_exit $pid "Dismissing the box"
    [ $ZK_STATUS -eq 255 ] || zk_fail "$1: exit status $ZK_STATUS"
}

# The archive: the log stops at its step.
fresh_show
rm data.vkz
mkfifo data.vkz
fails_with_box "FIFO data.vkz"
[ "$(zk_log_lines | tail -2 | head -1)" = "Opening VKZ archive" ] || zk_fail "FIFO data.vkz: log"

# The log itself, with nobody reading it: no log can be opened.
fresh_show
mkfifo zelkor.log
fails_with_box "FIFO zelkor.log"

echo "damaged_show: ok"
