#!/bin/sh
# The program under a real X server and window manager: its window must come
# up centred on the screen by its outer size, frame and title bar included,
# within 2 pixels; the Measurements panel, which widens it, must leave it
# on the screen; then a run is started with F5 and Ctrl+Q must end the
# program with exit status 0.
#
# Run inside an X server with nothing else on it, e.g.
#   xvfb-run -a -s "-screen 0 1280x1024x24" sh window_manager_test.sh build/bin/ljgas
set -u
program=$1
. "$(dirname "$0")/x_session.sh"
start_openbox
start_program "$program"

# The outer rectangle is the window manager's frame: the ancestor of the
# program's window just below the root.
frame_of() {
    child=$1
    while :; do
        parent=$(xwininfo -tree -id "$child" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
        root=$(xwininfo -tree -id "$child" | sed -n 's/^ *Root window id: \(0x[0-9a-f]*\).*/\1/p')
        [ "$parent" = "$root" ] && { echo "$child"; return; }
        child=$parent
    done
}
field() { xwininfo -id "$1" | sed -n "s/^ *$2: *\\(-\\{0,1\\}[0-9]*\\).*/\\1/p"; }

screen_width=$(xwininfo -root | sed -n 's/^ *Width: *\([0-9]*\).*/\1/p')
screen_height=$(xwininfo -root | sed -n 's/^ *Height: *\([0-9]*\).*/\1/p')

# The program centres its window again once the frame is known; allow it a
# few rounds of event processing.
tries=0
while :; do
    frame=$(frame_of "$window")
    x=$(field "$frame" "Absolute upper-left X")
    y=$(field "$frame" "Absolute upper-left Y")
    w=$(field "$frame" Width)
    h=$(field "$frame" Height)
    dx=$((2 * x + w - screen_width))    # twice the offset from the centre
    dy=$((2 * y + h - screen_height))
    [ ${dx#-} -le 4 ] && [ ${dy#-} -le 4 ] && [ "$frame" != "$window" ] && break
    tries=$((tries + 1))
    [ $tries -gt 50 ] && fail "outer frame ${w}x${h} at ($x,$y) on a ${screen_width}x${screen_height} screen is not centred within 2 px"
    sleep 0.1
done
echo "outer frame ${w}x${h} at ($x,$y) on a ${screen_width}x${screen_height} screen"

# View -> Measurements (Ctrl+M) on a screen too narrow for the centred
# window and its panel side by side.
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers ctrl+m
tries=0
while :; do
    x=$(field "$frame" "Absolute upper-left X")
    w=$(field "$frame" Width)
    [ "$w" -gt $((screen_width / 2 + 300)) ] && [ $((x + w)) -le "$screen_width" ] && [ "$x" -ge 0 ] && break
    tries=$((tries + 1))
    [ $tries -gt 50 ] && fail "with the panel shown the outer frame ${w} wide at x $x leaves the ${screen_width}-pixel screen"
    sleep 0.1
done
echo "with the panel: outer frame ${w} wide at x $x"

# Go, then Quit while the run goes on.
xdotool key --clearmodifiers F5
sleep 1
xdotool key --clearmodifiers ctrl+q
tries=0
while kill -0 "$program_pid" 2>/dev/null; do
    tries=$((tries + 1))
    [ $tries -gt 100 ] && fail "Ctrl+Q during a run did not end the program"
    sleep 0.1
done
wait "$program_pid"
status=$?
program_pid=
[ $status -eq 0 ] || fail "the program ended with status $status after Ctrl+Q"
echo "Ctrl+Q during a run: exit status 0"
