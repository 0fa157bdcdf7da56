# Shared by the scripts that drive the program under a real X server with a
# window manager (sourced, not run): settings of their own, so that the
# user's choices play no part; openbox; the program and its window; and the
# clean-up of all three on exit.

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in openbox xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

XDG_CONFIG_HOME=$(mktemp -d) || fail "no temporary folder"
export XDG_CONFIG_HOME
openbox_pid=
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null
    rm -rf "$XDG_CONFIG_HOME"
}
trap cleanup EXIT

# Returns once the window manager has announced itself on the root window.
start_openbox() {
    openbox >/dev/null 2>&1 &
    openbox_pid=$!
    tries=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        tries=$((tries + 1))
        [ $tries -gt 100 ] && fail "openbox did not start"
        sleep 0.1
    done
}

# start_program PROGRAM: sets program_pid, and window once it is shown.
start_program() {
    "$1" &
    program_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Lennard-Jones Gas\$" | head -n 1)
    [ -n "$window" ] || fail "no window titled 'Lennard-Jones Gas' appeared"
}
