#!/usr/bin/env bash
# The window under a virtual display for a while, with Go, Stop and
# Initialize pressed at random moments.
#
# usage: bench/soak/window_soak.sh [-b] [-s SEED] [SECONDS]
#   -b        build the release preset first
#   -s SEED   seed of the random presses (default: the clock)
#   SECONDS   how long (default 600)
#
# Checks, failing with exit status 1 when one does not hold:
#  - the program stays alive and no second window with the program's title
#    (the error dialog) ever appears;
#  - the window is live: while a run goes on, two pictures of the window
#    half a second apart differ; after Stop they are the same;
#  - memory stays flat: the RSS, sampled every 10 s, ends less than 4 MiB
#    above its highest value in the first three minutes (caches fill then).
# Samples, the press log and the pictures of any failure are left in
# build/soak/window/.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=0
seed=$(date +%s)
while getopts "bs:" opt; do
    case "$opt" in
    b) build=1 ;;
    s) seed=$OPTARG ;;
    *) sed -n '3,8p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
duration=${1:-600}
out=build/soak/window

if [ -z "${LJGAS_WINDOW_SOAK_DISPLAY:-}" ]; then
    source bench/soak/common.sh
    install_missing xvfb xauth xdotool imagemagick
    if [ "$build" = 1 ]; then build_release; fi
    [ -x build/bin/ljgas ] || { echo "window soak: build/bin/ljgas missing; run with -b" >&2; exit 2; }
    rm -rf "$out"
    mkdir -p "$out"
    export LJGAS_WINDOW_SOAK_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" -s "$seed" "$duration"
fi

# From here on: inside the virtual display.
export QT_QPA_PLATFORM=xcb
RANDOM=$seed
title='Lennard-Jones Gas'
log="$out/presses.log"
: >"$log"

build/bin/ljgas >"$out/ljgas.stdout" 2>"$out/ljgas.stderr" &
pid=$!

fail() {
    echo "window soak: FAILED: $*" >&2
    import -window root "$out/failure.png" 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
    exit 1
}

wid=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -1) || true
[ -n "$wid" ] || fail "no window titled '$title' within 30 s"
eval "$(xdotool getwindowgeometry --shell "$wid")"  # WIDTH, HEIGHT, X, Y
# The layout is 14460 twips wide; the buttons' centres in twips.
declare -A centreX=([Initialize]=10087.5 [Go]=11947.5 [Stop]=13687.5)
centreY=427.5
scale=$(awk -v w="$WIDTH" 'BEGIN { print w / 14460 }')
# The menu bar sits above the form, whose layout is 8580 twips high.
top=$(awk -v h="$HEIGHT" -v s="$scale" 'BEGIN { printf "%d", h - 8580 * s + 0.5 }')

press() {
    local x y
    x=$(awk -v t="${centreX[$1]}" -v s="$scale" 'BEGIN { printf "%d", t * s + 0.5 }')
    y=$(awk -v t="$centreY" -v s="$scale" -v top="$top" 'BEGIN { printf "%d", top + t * s + 0.5 }')
    xdotool mousemove --window "$wid" "$x" "$y" click 1
    echo "$((SECONDS - started)) $1" >>"$log"
}

windows() { xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | wc -l; }
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$pid/status"; }
picture() { import -window "$wid" "$1" 2>/dev/null; }

check() {
    kill -0 "$pid" 2>/dev/null || fail "the program ended (see $out/ljgas.stderr)"
    [ "$(windows)" -eq 1 ] || fail "a second window titled '$title' (an error dialog) appeared"
}

# Live while running, still when stopped.
check_live() {
    picture "$out/a.png" || fail "no picture of the window"
    sleep 0.5
    picture "$out/b.png" || fail "no picture of the window"
    if [ "$running" = 1 ]; then
        cmp -s "$out/a.png" "$out/b.png" && fail "the window did not change in 0.5 s during a run"
        live_checks=$((live_checks + 1))
    else
        cmp -s "$out/a.png" "$out/b.png" || fail "the window changed in 0.5 s after Stop"
        still_checks=$((still_checks + 1))
    fi
    rm -f "$out/a.png" "$out/b.png"
}

started=$SECONDS
running=0
presses=0
live_checks=0
still_checks=0
next_sample=0
next_live=15
: >"$out/rss.log"
echo "window soak: $duration s, seed $seed, window $wid ${WIDTH}x${HEIGHT}"
# First make sure the presses land: Go must set the particles moving and
# Stop must halt them.
sleep 1
press Go
running=1
sleep 1
check_live
press Stop
running=0
sleep 1
check_live
while [ $((SECONDS - started)) -lt "$duration" ]; do
    elapsed=$((SECONDS - started))
    if [ "$elapsed" -ge "$next_sample" ]; then
        echo "$elapsed $(rss)" >>"$out/rss.log"
        next_sample=$((next_sample + 10))
    fi
    check
    if [ "$elapsed" -ge "$next_live" ]; then
        sleep 1  # let a Stop take effect
        check_live
        next_live=$((elapsed + 20 + RANDOM % 20))
    fi
    r=$((RANDOM % 100))
    if [ "$r" -lt 40 ]; then
        press Go
        running=1
    elif [ "$r" -lt 70 ]; then
        press Stop
        running=0
    else
        press Initialize
    fi
    presses=$((presses + 1))
    # 0.1 to 5 s between presses.
    sleep "$(awk -v r=$((RANDOM % 4900)) 'BEGIN { printf "%.3f", 0.1 + r / 1000 }')"
done
check
press Stop
running=0
sleep 1
check_live
echo "$((SECONDS - started)) $(rss)" >>"$out/rss.log"
kill "$pid"
wait "$pid" 2>/dev/null || true

early=$(awk '$1 <= 180 && $2 > m { m = $2 } END { print m + 0 }' "$out/rss.log")
last=$(tail -1 "$out/rss.log" | cut -d' ' -f2)
highest=$(awk '$2 > m { m = $2 } END { print m + 0 }' "$out/rss.log")
count() { grep -c " $1\$" "$log" || true; }
echo "  presses:   $(wc -l <"$log") (Go $(count Go), Stop $(count Stop), Initialize $(count Initialize)); no error dialog, alive"
echo "  liveness:  $live_checks checks changing during a run, $still_checks still after Stop"
echo "  memory:    RSS highest in the first 3 min $early KiB, at the end $last KiB, highest $highest KiB"
echo "             samples (s KiB): $(tr '\n' ' ' <"$out/rss.log" | head -c 2000)"
[ $((last - early)) -lt 4096 ] || { echo "window soak: FAILED: RSS grew by $((last - early)) KiB" >&2; exit 1; }
echo "window soak: passed"
