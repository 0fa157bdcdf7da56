#!/bin/sh
# A lesson as a class would watch it: the program under a real X server and
# window manager at the Normal speed with the Measurements panel open; the
# default gas for a minute, then Tsoll 0.1 for two minutes (crystallites
# grow and merge), then Tsoll typed with a decimal comma by mistake ("0,6",
# which the status bar notes), then 0.6 for a minute (the crystals melt).
# Screenshots of the screen go to OUT (build/lesson by default). Run it from
# the top of the source tree after a release build, inside an X server with
# nothing else on it:
#   xvfb-run -a -s "-screen 0 1280x1024x24" bench/window/lesson.sh [OUT]
set -u
out=${1:-build/lesson}
. tests/ui/x_session.sh
command -v import >/dev/null || fail "import (ImageMagick) is not installed"
mkdir -p "$out"

# The Normal speed and the panel open, as remembered settings.
mkdir -p "$XDG_CONFIG_HOME/ljgas"
printf '[run]\nstepsPerSecond=1000\n\n[view]\nmeasurements=true\n' >"$XDG_CONFIG_HOME/ljgas/ljgas.conf"
start_openbox
start_program build/bin/ljgas
sleep 1

shot() {  # name
    import -window root "$out/$1.png" && echo "$out/$1.png"
}
# The Tsoll= box, by its place in the form: twips 10440..11535 across and
# 2040..2535 down, 15 twips a pixel at 96 dpi, below the menu bar. The
# window's height less the form's 572 pixels is the menu bar above the form
# and the status bar below it, about as tall as each other.
height=$(xwininfo -id "$window" | sed -n 's/^ *Height: *\([0-9]*\).*/\1/p')
tsoll_y=$(((height - 572) / 2 + 152))
set_tsoll() {  # text
    xdotool mousemove --window "$window" 730 "$tsoll_y" click 1
    xdotool key --window "$window" ctrl+a
    xdotool type --window "$window" "$1"
    xdotool key --window "$window" Return
}

xdotool key --window "$window" --clearmodifiers F5
sleep 60; shot 1-defaults-60s
set_tsoll 0.1
sleep 60; shot 2-tsoll0.1-60s
sleep 60; shot 3-tsoll0.1-120s
set_tsoll 0,6
sleep 3; shot 4-decimal-comma
set_tsoll 0.6
sleep 30; shot 5-tsoll0.6-30s
sleep 30; shot 6-tsoll0.6-60s
xdotool key --window "$window" --clearmodifiers ctrl+q
wait "$program_pid"
status=$?
program_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "lesson done"
