# Shared helpers for the test scripts: the build's programs, a private Xvfb
# server and waits.
# Usage: source lib.sh; zk_start_xvfb; ... (the server stops when the script exits)

# zk_programs BUILD: MAROVY and ZELKOR of that build folder.
zk_programs() {
    MAROVY=$1/src/shell/marovy
    ZELKOR=$1/tools/zelkor/zelkor
}

# zk_on_exit COMMAND: runs COMMAND when the script exits, before whatever the
# script's EXIT trap already does (which it keeps).
zk_on_exit() {
    eval "set -- \"\$1\" $(trap -p EXIT)"
    trap -- "$1${4:+; $4}" EXIT
}

# zk_e2e_begin BUILD: the build's programs, a private Xvfb and a scratch folder
# that becomes the working folder; on exit the server, the folder and any
# program still running as $pid go.
zk_e2e_begin() {
    zk_programs "$1"
    zk_start_xvfb || exit 1
    ZK_WORK=$(mktemp -d)
    zk_on_exit '[ -n "${pid:-}" ] && kill -9 $pid 2>/dev/null; rm -rf "$ZK_WORK"'
    cd "$ZK_WORK" || exit 1
}

# zk_install BUILD: the engine installed into $ZK_WORK/prefix ($P), its
# commands first on the PATH, as a maker has it.
zk_install() {
    P=$ZK_WORK/prefix
    cmake --install "$1" --prefix "$P" >install.log 2>&1 || { cat install.log; zk_fail "install"; }
    export PATH="$P/bin:$PATH"
}

# zk_start_xvfb [WxH]: the screen's size (default $ZK_XVFB_SIZE, else 1024x768).
zk_start_xvfb() {
    local size=${1:-${ZK_XVFB_SIZE:-1024x768}}
    # -noreset: the server must not restart (refusing connections meanwhile)
    # each time its last client leaves. Parallel runs must never share (and then kill) one server: a display is
    # ours only when its lock file names our Xvfb process.
    local n tries
    for tries in $(seq 1 40); do
        n=$(( 200 + (RANDOM + $$ * 7 + tries * 13) % 700 ))
        [ -e /tmp/.X$n-lock ] && continue
        Xvfb :$n -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
        ZK_XVFB_PID=$!
        for _ in $(seq 1 100); do
            kill -0 $ZK_XVFB_PID 2>/dev/null || break
            if [ "$(tr -d ' ' 2>/dev/null < /tmp/.X$n-lock)" = "$ZK_XVFB_PID" ] &&
                DISPLAY=:$n xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=:$n
                zk_on_exit 'kill $ZK_XVFB_PID 2>/dev/null'
                return 0
            fi
            sleep 0.1
        done
        kill $ZK_XVFB_PID 2>/dev/null
    done
    echo "could not start Xvfb" >&2
    return 1
}

# zk_make_show ZELKOR SHOW SCRATCH TIMETABLE: a small show folder made with
# the tool: plasma pictures, a glow for the particles, the tube's script, and
# data.vkz holding TIMETABLE (text). Scripts go to SCRATCH; 1 on a failure.
zk_make_show() {
    local z=$1 show=$2 tmp=$3 name i=1
    mkdir -p "$show" "$tmp" || return 1
    for name in tarnis_credits tarnis_logo tarnis_1 tarnis_2 tarnis_3 tarnis_4 tarnis_5 \
        tarnis_6 tarnis_7 tarnis_cloud p1_kopf p1_koerper tarnis_particle2 particletex; do
        if [ $name = particletex ]; then
            echo "RadialGlow 0 1 1 1"
        else
            echo "Plasma 0 $i 2 3 4 1 1 1"
        fi >"$tmp/$name.txt"
        i=$((i + 1))
        "$z" rgs asm "$tmp/$name.txt" -o "$tmp/$name.rgs" >/dev/null &&
            "$z" rgs run "$tmp/$name.rgs" --tga "$show/$name.tga" >/dev/null || return 1
    done
    printf 'Plasma 0 5 5 2 2 1 1 1\n' >"$tmp/wobble.txt"
    "$z" rgs asm "$tmp/wobble.txt" -o "$show/wobble.rgs" >/dev/null || return 1
    printf '%s\n' "$4" >"$tmp/timetable.txt"
    "$z" tmg compile "$tmp/timetable.txt" -o "$tmp/default.tmg" >/dev/null &&
        "$z" vkz create "$show/data.vkz" "$tmp/default.tmg" >/dev/null
}

# zk_scene1_show SHOW [FILE...]: a show of scene1 alone for 60 s, its picture
# light grey; data.vkz holds the timetable and the FILEs. 1 on a failure.
zk_scene1_show() {
    local show=$1
    shift
    mkdir -p "$show" && printf 'Fill 0 #c0c0c0\n' >scene1.txt && echo "0 60000 scene1" >scene1.tt &&
        "$ZELKOR" rgs asm scene1.txt -o scene1.rgs &&
        "$ZELKOR" rgs run scene1.rgs --tga "$show/tarnis_credits.tga" >/dev/null &&
        "$ZELKOR" tmg compile scene1.tt -o default.tmg &&
        "$ZELKOR" vkz create "$show/data.vkz" default.tmg "$@" >/dev/null
}

# zk_wait_for SECONDS COMMAND...: retries the command every 0.1 s.
zk_wait_for() {
    local limit=$(( $1 * 10 )); shift
    for _ in $(seq 1 $limit); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

zk_fail() { echo "FAIL: $*" >&2; exit 1; }

# zk_timetable_text ZELKOR SHOW OUT: the show's timetable as text in OUT.
zk_timetable_text() {
    "$1" vkz extract "$2/data.vkz" default.tmg -o "$3.tmg" &&
        "$1" tmg dump "$3.tmg" >"$3" || zk_fail "no timetable in $2/data.vkz"
}

# zk_find_window TITLE: prints the id of the first window with that exact title.
# (SDL names its windows in UTF-8 only, which `xdotool search --name` misses.)
zk_find_window() {
    xwininfo -root -tree 2>/dev/null | awk -v t=" \"$1\": " 'index($0, t) { print $1; exit }' | grep .
}

# zk_press WINDOW KEY: focuses the window and types the key through XTEST, as a
# user would (synthetic events sent to a window are not trusted by every toolkit).
zk_press() {
    xdotool windowfocus --sync "$1" >/dev/null 2>&1 || xdotool windowfocus "$1"
    xdotool key "$2"
}

# zk_dialog_press KEY: waits for marovy's configuration dialog and types the
# key into it (alt+s is Start, alt+q Quit).
zk_dialog_press() {
    local dialog
    zk_wait_for 30 zk_find_window "ZELKOR config" || { echo "no configuration dialog" >&2; return 1; }
    dialog=$(zk_find_window "ZELKOR config")
    sleep 0.3
    zk_press "$dialog" "$1"
}

# zk_run_to_end NAME PROGRAM SECONDS: runs the show, answers its dialog with
# Start and waits; fails unless it ended by itself with 0 within SECONDS.
zk_run_to_end() {
    timeout -s KILL "$3" "$2" >stdout.txt 2>stderr.txt &
    local pid=$!
    zk_dialog_press alt+s || { kill -9 $pid; zk_fail "$1: no dialog"; }
    wait $pid
    local status=$?
    [ $status -eq 137 ] && zk_fail "$1: the show did not end by itself"
    [ $status -eq 0 ] || { cat stderr.txt; zk_fail "$1: exit status $status"; }
}

# The log of a complete start-up, up to the main loop, without time prefixes.
ZK_STARTUP_LOG="start logging at
Opening VKZ archive
Creating window
Initializing OpenGL
Soundsystem:
Initialize
OpenStream
Deleting temp buffer
Playing stream
Camera initialize
Camera set position
Camera use
Registering scenes
Pre-Initializing scene 1
Pre-Initializing scene 2
Pre-Initializing scene 3
Pre-Initializing scene 4
Pre-Initializing scene 5
Pre-Initializing scene 6
Pre-Initializing scene 7
Pre-Initializing scene 8
Pre-Initializing scene 9
Pre-Initializing credits end
Pre-Initializing done
Entering sound wait loop
Finished sound wait loop
Timer initialization
Timer set begindemo
Returning
Entering mainloop"

# The same in a folder without the show's pictures: after its log line, each
# preparation names every picture it could not load, with its scene.
ZK_STARTUP_LOG_BARE=$(
    missing() { local scene=$1 p; shift; for p; do echo "$p ($scene): No such file or directory"; done; }
    while IFS= read -r line; do
        echo "$line"
        case $line in
        "Pre-Initializing scene 1") missing scene2 tarnis_logo.tga particletex.tga ;;
        "Pre-Initializing scene 2") missing scene6 tarnis_4.tga particletex.tga wobble.rgs ;;
        "Pre-Initializing scene 3") missing scene3 tarnis_1.tga p1_kopf.tga p1_koerper.tga \
            tarnis_particle2.tga tarnis_cloud.tga ;;
        "Pre-Initializing scene 4") missing scene5 tarnis_3.tga p1_kopf.tga p1_koerper.tga ;;
        "Pre-Initializing scene 5") missing scene4 tarnis_2.tga ;;
        "Pre-Initializing scene 6") missing scene1 tarnis_credits.tga ;;
        "Pre-Initializing scene 7") missing scene7 tarnis_5.tga particletex.tga ;;
        "Pre-Initializing scene 8") missing scene8 tarnis_6.tga ;;
        "Pre-Initializing scene 9") missing scene9 tarnis_7.tga ;;
        "Pre-Initializing credits end") missing creditsend tarnis_credits.tga ;;
        esac
    done <<<"$ZK_STARTUP_LOG"
)

# zk_log_lines [FILE]: the log's non-empty lines without their time prefixes,
# the start and end lines cut to their fixed words.
zk_log_lines() {
    grep -v '^$' "${1:-zelkor.log}" | sed -E 's/^\[[0-9:.]+\]//; s/^(start logging at|end logging at).*/\1/'
}

# zk_wait_exit PID WHAT: waits up to 10 s for the process to end, then reaps it
# into ZK_STATUS; fails with "WHAT did not end the run" when it goes on.
zk_wait_exit() {
    for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$1" 2>/dev/null && { kill -9 "$1"; zk_fail "$2 did not end the run"; }
    wait "$1"
    ZK_STATUS=$?
}
