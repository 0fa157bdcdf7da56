#!/usr/bin/env bash
# Long headless run at the default parameters with ljgas-batch (release).
#
# usage: bench/soak/batch_soak.sh [-b] [STEPS]
#   -b      build the release preset first
#   STEPS   the long run's length (default 1000000); a short run of a tenth
#           of it is made first, for the memory comparison
#
# Checks, failing with exit status 1 when one does not hold:
#  - both runs end without an engine error (exit status 0);
#  - the total momentum (sum of vx, sum of vy over the 225 particles) moves
#    only by rounding and by the thermostat's scaling: the pair forces are
#    equal and opposite, and each thermostat step multiplies every velocity,
#    so the momentum too, by the same factor. A third run of STEPS steps with
#    the thermostat off must keep it at its starting value to rounding; at
#    the defaults it must equal the starting value times the product of the
#    factors (recomputed from the temperatures shown), to rounding amplified
#    by the same factors;
#  - memory stays flat: the long run's peak RSS exceeds the short run's by
#    less than 1 MiB, and the RSS sampled during the long run does not grow.
# Files are left in build/soak/batch/.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=0
if [ "${1:-}" = -b ]; then
    build=1
    shift
fi
steps=${1:-1000000}
short=$((steps / 10))

source bench/soak/common.sh
install_missing time
if [ "$build" = 1 ]; then build_release; fi
batch=build/bin/ljgas-batch
[ -x "$batch" ] || { echo "batch soak: $batch missing; run with -b" >&2; exit 2; }

out=build/soak/batch
rm -rf "$out"
mkdir -p "$out"

# One run: peak RSS (KiB) and seconds into $out/NAME.time, the RSS sampled
# every 2 s into $out/NAME.rss.
run() {
    local name=$1 n=$2 thermostat=${3:-on}
    /usr/bin/time -f '%M %e' -o "$out/$name.time" \
        "$batch" --quiet --steps "$n" --thermostat "$thermostat" --initial-out "$out/$name.initial.csv" \
        --state-out "$out/$name.final.csv" --temperature-out "$out/$name.temperature.csv" &
    local pid=$!
    : >"$out/$name.rss"
    # /usr/bin/time's child is the batch program.
    local child=""
    while kill -0 "$pid" 2>/dev/null; do
        [ -n "$child" ] || child=$(pgrep -P "$pid" 2>/dev/null | head -1 || true)
        if [ -n "$child" ] && [ -r "/proc/$child/status" ]; then
            awk '/^VmRSS:/ {print $2}' "/proc/$child/status" >>"$out/$name.rss" 2>/dev/null || true
        fi
        sleep 2
    done
    local rc=0
    wait "$pid" || rc=$?
    if [ "$rc" -ne 0 ]; then
        echo "batch soak: the $n-step run ended with exit status $rc (3: engine error)" >&2
        exit 1
    fi
}

# Total momentum of a state file.
momentum() {
    awk -F, 'NR > 1 { px += $4; py += $5 } END { printf "%.9g %.9g\n", px, py }' "$1"
}

# Predicted momentum and its rounding bound after a run: P0 times the
# thermostat factors lambda = (Tsoll / T - 1) * 0.05 + 1 of the temperatures
# shown (none with the thermostat off), with the rounding noise of each
# 20-step window amplified by the factors after it. Per window: about ten
# single-precision roundings (half an ulp of a typical speed, sqrt(T)) per
# particle per step, added as a random walk over 20 x 225 x 10 roundings;
# the bound is 20 times that, plus 1e-5 of the prediction for the factors
# recomputed here in double precision.
predict() {  # P0x P0y thermostat temperature-file
    awk -F, -v px="$1" -v py="$2" -v on="$3" -v Tsoll=0.3 '
        NR == 1 { next }
        { T = $2; l = on == "on" ? (Tsoll / T - 1) * 0.05 + 1 : 1
          px *= l; py *= l
          s = 0.5 * sqrt(T) * 2^-23 * sqrt(20 * 225 * 10)
          v = v * l * l + s * s }
        END { p = sqrt(px * px + py * py); printf "%.9g %.9g %.3g\n", px, py, 20 * sqrt(v) + 1e-5 * p }' "$4"
}

echo "batch soak: $short steps, then $steps steps at the defaults (R 0.01, e0 0.2, Tsoll 0.3, thermostat on),"
echo "            then $steps steps with the thermostat off"
run short "$short"
run long "$steps"
run off "$steps" off

read -r rss_short secs_short <"$out/short.time"
read -r rss_long secs_long <"$out/long.time"
read -r secs_off <<<"$(cut -d' ' -f2 "$out/off.time")"
status=0
for name in long off; do
    read -r px0 py0 < <(momentum "$out/$name.initial.csv")
    read -r px1 py1 < <(momentum "$out/$name.final.csv")
    thermostat=on
    [ "$name" = off ] && thermostat=off
    read -r ppx ppy bound < <(predict "$px0" "$py0" "$thermostat" "$out/$name.temperature.csv")
    gain=$(awk -v a="$px0" -v b="$py0" -v c="$ppx" -v d="$ppy" 'BEGIN { printf "%.3g", sqrt(c*c + d*d) / sqrt(a*a + b*b) }')
    miss=$(awk -v a="$px1" -v b="$py1" -v c="$ppx" -v d="$ppy" 'BEGIN { printf "%.3g", sqrt((a-c)^2 + (b-d)^2) }')
    vcm2=$(awk -v a="$px1" -v b="$py1" 'BEGIN { printf "%.3g", (a*a + b*b) / 225 / 225 }')
    T=$(tail -1 "$out/$name.temperature.csv" | cut -d, -f2)
    echo "  momentum, thermostat $thermostat: start ($px0, $py0), after $steps steps ($px1, $py1)"
    echo "             thermostat factors multiply it by $gain: predicted ($ppx, $ppy), off by $miss, rounding bound $bound"
    echo "             last temperature shown $T, of which centre-of-mass motion $vcm2"
    if awk -v d="$miss" -v b="$bound" 'BEGIN { exit !(d > b) }'; then
        echo "batch soak: FAILED: thermostat $thermostat: the momentum is off its prediction by $miss, more than rounding ($bound)" >&2
        status=1
    fi
done

growth=$((rss_long - rss_short))
samples=$(tr '\n' ' ' <"$out/long.rss")
rss_first=$(head -1 "$out/long.rss")
rss_last=$(tail -1 "$out/long.rss")
echo "  runs:      $short steps in ${secs_short} s, $steps steps in ${secs_long} s, $steps without thermostat in ${secs_off} s; no engine error"
echo "  memory:    peak RSS $rss_short KiB after $short steps, $rss_long KiB after $steps steps ($growth KiB more)"
echo "             RSS sampled every 2 s during the long run (KiB): $samples"

if [ "$growth" -ge 1024 ]; then
    echo "batch soak: FAILED: the peak RSS grew by $growth KiB from $short to $steps steps" >&2
    status=1
fi
if [ -n "$rss_first" ] && [ -n "$rss_last" ] && [ $((rss_last - rss_first)) -ge 1024 ]; then
    echo "batch soak: FAILED: the RSS grew from $rss_first to $rss_last KiB during the long run" >&2
    status=1
fi
if [ "$status" -eq 0 ]; then
    echo "batch soak: passed"
fi
exit "$status"
