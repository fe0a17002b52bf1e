# Shared helpers for the end-to-end scripts: a private Xvfb server and waits.
# Usage: source lib.sh; zk_start_xvfb; ... (the server stops when the script exits)

zk_start_xvfb() {
    local n
    for n in $(seq 90 140); do
        [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
        Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        ZK_XVFB_PID=$!
        export DISPLAY=:$n
        for _ in $(seq 1 50); do
            xdpyinfo >/dev/null 2>&1 && { trap 'kill $ZK_XVFB_PID 2>/dev/null' EXIT; return 0; }
            kill -0 $ZK_XVFB_PID 2>/dev/null || break
            sleep 0.1
        done
        kill $ZK_XVFB_PID 2>/dev/null
    done
    echo "could not start Xvfb" >&2
    return 1
}

# zk_wait_for SECONDS COMMAND...: retries the command every 0.1 s.
zk_wait_for() {
    local limit=$(( $1 * 10 )); shift
    for _ in $(seq 1 $limit); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

zk_fail() { echo "FAIL: $*" >&2; exit 1; }

# zk_find_window TITLE: prints the id of the first window with that exact title.
# (SDL names its windows in UTF-8 only, which `xdotool search --name` misses.)
zk_find_window() {
    xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" '$2 == t { print $1; exit }' | grep .
}

# zk_press WINDOW KEY: focuses the window and types the key through XTEST, as a
# user would (synthetic events sent to a window are not trusted by every toolkit).
zk_press() {
    xdotool windowfocus --sync "$1" >/dev/null 2>&1 || xdotool windowfocus "$1"
    xdotool key "$2"
}
