#!/usr/bin/env bash
# marovy in a scratch folder: Quit in the configuration dialog ends it at once
# with 255; after Start the complete log in order (each missing picture named
# there and on stderr), Escape ends the run with status 0; an unwritable log
# shows the "Marovy" box and ends with 255.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_programs "$1"
zk_start_xvfb || exit 1
export SDL_AUDIODRIVER=dummy

work=$(mktemp -d)
trap 'kill -9 ${pid:-} 2>/dev/null; kill $ZK_XVFB_PID 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
# No "preload" here: it drops a quit message it happens to pump.
printf '0 3600000 idle\n' > timetable.txt
"$ZELKOR" tmg compile timetable.txt -o default.tmg || zk_fail "tmg compile"
"$ZELKOR" vkz create data.vkz default.tmg >/dev/null || zk_fail "vkz create"

# --- the dialog: Escape leaves it open, Quit ends the program at once ---
"$MAROVY" > stdout.txt 2> stderr.txt &
pid=$!
zk_dialog_press Escape || zk_fail "no dialog"
sleep 0.5
kill -0 $pid 2>/dev/null || zk_fail "Escape closed the dialog"
zk_find_window "ZELKOR config" >/dev/null || zk_fail "Escape closed the dialog"
zk_dialog_press alt+q
zk_wait_exit $pid Quit
[ $ZK_STATUS -eq 255 ] || zk_fail "exit status $ZK_STATUS after Quit"
[ -e zelkor.log ] && zk_fail "Quit created a log"

# --- a normal run, started from the dialog and ended by Escape ---
"$MAROVY" > stdout.txt 2> stderr.txt &
pid=$!
zk_dialog_press alt+s || zk_fail "no dialog"
zk_wait_for 60 grep -q "Entering mainloop" zelkor.log || { cat zelkor.log stderr.txt; zk_fail "no main loop"; }
win=$(zk_find_window ZELKOR) || { echo "DISPLAY=$DISPLAY"; xwininfo -root -tree; cat stderr.txt; zk_fail "no ZELKOR window"; }
sleep 0.5
zk_press "$win" Escape
zk_wait_exit $pid Escape
[ $ZK_STATUS -eq 0 ] || { cat stderr.txt; zk_fail "exit status $ZK_STATUS after Escape"; }

expected="$ZK_STARTUP_LOG_BARE
end logging at"
# Every line has the unpadded time prefix; the start line is followed by an empty one.
grep -vqE '^(\[[0-9]{1,2}:[0-9]{1,2}:[0-9]{1,2}\.[0-9]{1,3}\].*)?$' zelkor.log && zk_fail "malformed log line"
[ "$(sed -n 2p zelkor.log)" = "" ] || zk_fail "no empty line after the start line"
actual=$(zk_log_lines)
[ "$actual" = "$expected" ] || { diff <(echo "$expected") <(echo "$actual"); zk_fail "log differs"; }
grep -qx "marovy: tarnis_cloud.tga (scene3): No such file or directory" stderr.txt ||
    zk_fail "a missing picture is not said on stderr: $(cat stderr.txt)"

# --- a failing step: the log cannot be written ---
rm -f zelkor.log
mkdir zelkor.log
"$MAROVY" > stdout.txt 2> stderr.txt &
pid=$!
zk_dialog_press alt+s || zk_fail "no dialog"
zk_wait_for 30 zk_find_window Marovy || { kill -9 $pid; cat stdout.txt stderr.txt; zk_fail "no Marovy box"; }
box=$(zk_find_window Marovy)
sleep 0.3
zk_press "$box" Return
zk_wait_exit $pid "Dismissing the box"
[ $ZK_STATUS -eq 255 ] || zk_fail "exit status $ZK_STATUS after a failed start-up"
grep -q "^marovy: cannot write zelkor.log in .*; run the show from a folder" stderr.txt ||
    zk_fail "no hint beside the box: $(cat stderr.txt)"
grep -q "start logging at" stdout.txt || zk_fail "start line not on stdout"
grep -q "end logging at" stdout.txt || zk_fail "end line not on stdout"
echo "shell_run: ok"
