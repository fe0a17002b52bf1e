#!/usr/bin/env bash
# marovy's options on a 16:9 screen (Xvfb at 1280x720): --help, --version and
# usage errors open nothing; --desktop shows the 4:3 picture between black
# bars; --window, --no-sound and --dir run the show from another folder to
# "ende"; every failed start-up says on stderr what to do; a screen without a
# usable mode is told before the dialog closes.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_programs "$1"
zk_start_xvfb 1280x720 || exit 1
export SDL_AUDIODRIVER=dummy

work=$(mktemp -d)
trap 'kill -9 ${pid:-} 2>/dev/null; kill $ZK_XVFB_PID 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
mkdir elsewhere

# --- help, version and usage errors ---
"$MAROVY" --help >out.txt 2>err.txt || zk_fail "--help exited $?"
grep -q -- "--window\[=WxH\]" out.txt && [ ! -s err.txt ] || zk_fail "--help: $(cat out.txt err.txt)"
"$MAROVY" --version | grep -q "^marovy: ZELKOR Version 0.99 (git " || zk_fail "--version"
"$MAROVY" --bogus >out.txt 2>err.txt
[ $? -eq 2 ] || zk_fail "an unknown option should exit 2"
[ ! -s out.txt ] && grep -q "^usage: marovy" err.txt || zk_fail "no usage on stderr"
[ -e zelkor.log ] && zk_fail "an unknown option opened the show"

zk_make_show "$ZELKOR" show scripts "0 6000 preload
0 600 scene1
600 600 scene2
1200 600 scene6
1800 600 scene7
2400 600 scene8
3000 600 creditsend
3600 600 scene3
4200 600 scene4
4800 600 scene5
5400 600 scene9
6000 200 ende" || zk_fail "making the show"

# size: WIDTH HEIGHT of the show's window, once its main loop runs.
size() {
    zk_wait_for 60 grep -q "Entering mainloop" show/zelkor.log || zk_fail "no main loop"
    local win
    win=$(zk_find_window ZELKOR) || zk_fail "no ZELKOR window"
    xwininfo -id "$win" | awk '/Width:|Height:/ { printf "%s ", $2 }'
}

# --- --desktop: full screen at 1280x720 without a mode switch; the 160-pixel
# strips either side stay black while the scenes draw ---
(cd elsewhere && exec "$MAROVY" --desktop --dir ../show >out.txt 2>err.txt) &
pid=$!
[ "$(size)" = "1280 720 " ] || zk_fail "--desktop: window is not 1280x720"
# Screenshots go to files while the show runs and are looked at afterwards.
shots=0
while kill -0 $pid 2>/dev/null && [ $shots -lt 40 ]; do
    import -window root shot$shots.miff 2>/dev/null && shots=$((shots + 1))
    sleep 0.1
done
zk_wait_exit $pid "ende"
[ $ZK_STATUS -eq 0 ] || zk_fail "--desktop: exit status $ZK_STATUS: $(cat elsewhere/err.txt)"
lit=0
for f in shot*.miff; do
    crop() { convert "$f" -crop "$1" -format "%[fx:$2]" info:; }
    [ "$(crop 160x720+0+0 maxima) $(crop 160x720+1120+0 maxima)" = "0 0" ] ||
        zk_fail "--desktop: a side bar is not black in $f"
    awk -v m="$(crop 960x720+160+0 mean)" 'BEGIN { exit !(m > 0.05) }' && lit=$((lit + 1))
done
[ $lit -ge 3 ] || zk_fail "--desktop: only $lit of $shots screenshots showed the picture"

# --- --window, --no-sound where no audio can open, --dir from elsewhere ---
rm show/zelkor.log
(cd elsewhere && SDL_AUDIODRIVER=nosuch exec "$MAROVY" --window=640x480 --no-sound \
    --dir "$work/show" >out.txt 2>err.txt) &
pid=$!
[ "$(size)" = "640 480 " ] || zk_fail "--window=640x480: window is not 640x480"
zk_wait_exit $pid "ende"
[ $ZK_STATUS -eq 0 ] || zk_fail "--no-sound: exit status $ZK_STATUS: $(cat elsewhere/err.txt)"
grep -q "end logging at" show/zelkor.log && ! grep -q "]OpenStream$" show/zelkor.log ||
    zk_fail "--no-sound: log $(cat show/zelkor.log)"
[ -e elsewhere/zelkor.log ] && zk_fail "--dir: the log went to the working folder"

# --- failed start-ups: the box, and beside it one line with the way out ---
# fails_with HINT MAROVY-ARGS...: the run shows the "Marovy" box (dismissed
# here) and ends with 255, its stderr holding HINT.
fails_with() {
    local hint=$1
    shift
    "$MAROVY" "$@" >out.txt 2>err.txt &
    pid=$!
    zk_wait_for 30 zk_find_window Marovy || zk_fail "no box for: $hint"
    sleep 0.3
    zk_press "$(zk_find_window Marovy)" Return
    zk_wait_exit $pid "Dismissing the box"
    [ $ZK_STATUS -eq 255 ] || zk_fail "exit status $ZK_STATUS for: $hint"
    grep -qF "$hint" err.txt || zk_fail "no hint \"$hint\": $(cat err.txt)"
}
fails_with "marovy: no data.vkz in $work/elsewhere; run it from the show folder" \
    --window --dir elsewhere
SDL_AUDIODRIVER=nosuch fails_with "(SDL: Audio target 'nosuch' not available); run with --no-sound" \
    --window --dir show
DISPLAY= "$MAROVY" --window --dir show >out.txt 2>err.txt
[ $? -eq 255 ] && grep -q "^marovy: no window could be opened (SDL: .*); run it in a desktop" err.txt ||
    zk_fail "no window: $(cat err.txt)"
# The box (on stderr here, with no display for it) holds its line, then the hint.
tr '\n' '|' <err.txt | grep -qF "Marovy: ERROR: ZELKOR_Window::Initialize()||no window could be" ||
    zk_fail "the box has no hint: $(cat err.txt)"
# A zelkor.log that is a link fails like one that cannot be written; the
# file it names is left alone.
printf 'keep me' >precious
ln -sf "$work/precious" show/zelkor.log
fails_with "cannot write zelkor.log in $work/show (it is a symbolic link, which the log never follows)" \
    --window --dir show
[ "$(cat precious)" = "keep me" ] || zk_fail "the log wrote through its link"
rm show/zelkor.log

# --- signals: the box does not hold back SIGINT or SIGTERM, which end the
# program at once; in the show, Ctrl-C ends it as Escape does ---
stopped_box() { # SIGNAL STATUS
    "$MAROVY" --window --dir elsewhere >out.txt 2>err.txt &
    pid=$!
    zk_wait_for 30 zk_find_window Marovy || zk_fail "no box for SIG$1"
    kill -"$1" $pid
    zk_wait_exit $pid "SIG$1 at the box"
    [ $ZK_STATUS -eq "$2" ] || zk_fail "SIG$1 at the box: status $ZK_STATUS"
}
stopped_box INT 130
stopped_box TERM 143
"$MAROVY" --window=320x240 --dir show >out.txt 2>err.txt &
pid=$!
zk_wait_for 60 grep -q "Entering mainloop" show/zelkor.log || zk_fail "no main loop for Ctrl-C"
kill -INT $pid
zk_wait_exit $pid "Ctrl-C in the show"
[ $ZK_STATUS -eq 130 ] && grep -q "end logging at" show/zelkor.log ||
    zk_fail "Ctrl-C in the show: status $ZK_STATUS, log $(tail -2 show/zelkor.log)"

mkdir notimetable
"$ZELKOR" vkz create notimetable/data.vkz show/wobble.rgs >/dev/null || zk_fail "vkz create"
"$MAROVY" --window --no-sound --dir notimetable >out.txt 2>err.txt || zk_fail "no timetable: $?"
grep -qF "notimetable/data.vkz holds no readable timetable (default.tmg); make the archive" err.txt ||
    zk_fail "no timetable: $(cat err.txt)"

# --- a screen smaller than every mode: Start says which modes there are ---
kill $ZK_XVFB_PID
zk_start_xvfb 600x400 || exit 1
trap 'kill -9 ${pid:-} 2>/dev/null; kill $ZK_XVFB_PID 2>/dev/null; rm -rf "$work"' EXIT
cd show
"$MAROVY" >out.txt 2>err.txt &
pid=$!
zk_dialog_press alt+s || zk_fail "no dialog"
zk_wait_for 30 zk_find_window Marovy || zk_fail "Start on a small screen: no box"
zk_find_window "ZELKOR config" >/dev/null || zk_fail "the dialog closed before the box"
sleep 0.3
zk_press "$(zk_find_window Marovy)" Return
zk_wait_exit $pid "Dismissing the box"
[ $ZK_STATUS -eq 255 ] || zk_fail "small screen: exit status $ZK_STATUS"
grep -q "^marovy: no display mode of at least 640x480 .*(the display has 600x400x24); .*--desktop" \
    err.txt || zk_fail "small screen: $(cat err.txt)"
echo "options: ok"
