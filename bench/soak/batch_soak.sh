#!/usr/bin/env bash
# Long headless runs with ljgas-batch (release): the gas must stay a gas.
#
# usage: bench/soak/batch_soak.sh [-b] [STEPS]
#   -b      build the release preset first
#   STEPS   steps per target temperature (default 10000000), run as ten
#           segments, each going on from the state the last one left
#
# For each target temperature Tsoll = 0.3 (the default), 0.15 and 0.5, with
# the thermostat on, after every segment:
#  - the centre-of-mass speed must stay below 1e-3 of the rms speed (the
#    engine takes a drift out once it passes 1e-4, see centre_of_mass.h);
#  - the internal mean v^2, the mean of the segment's last 100 temperature
#    read-outs less the centre-of-mass part, must lie within 5 % of Tsoll.
# A segment that ends with an engine error fails the soak (the soak reports
# where and goes on with the next temperature; the failing step's state is
# not checked). For hotter gases, smaller discs and deeper wells see
# settings_soak.sh.
# Then, with the thermostat off for one segment, the total momentum must stay
# at its starting value to rounding (the forces are equal and opposite),
# memory must stay flat from a short run to a long one, and g(r) must stay
# right over one run of twice STEPS.
# Exit status 1 when a check fails. Files are left in build/soak/batch/.
set -euo pipefail
cd "$(dirname "$0")/../.."

source bench/soak/common.sh
install_missing time
release_and_steps 10000000 "$@"
segment=$((steps / 10))
start_batch_soak batch

# Centre-of-mass speed over rms speed, and |v_cm|^2, of a state file.
drift_of() {
    awk -F, 'NR > 1 { px += $4; py += $5; v2 += $4 * $4 + $5 * $5; n++ }
             END { cx = px / n; cy = py / n; c2 = cx * cx + cy * cy
                   printf "%.3g %.6g\n", sqrt(c2) / sqrt(v2 / n), c2 }' "$1"
}

# Mean of the last 100 temperatures shown.
mean_temperature() {
    tail -100 "$1" | awk -F, '{ s += $2; n++ } END { printf "%.6g\n", s / n }'
}

# One segment: NAME STEPS STATE-IN (empty: the lattice start) [thermostat].
# Peak RSS (KiB) and seconds go to $out/NAME.time.
segment() {
    local name=$1 n=$2 from=$3 thermostat=${4:-on} tsoll=${5:-0.3}
    local args=(--quiet --steps "$n" --tsoll "$tsoll" --thermostat "$thermostat"
                --initial-out "$out/$name.initial.csv" --state-out "$out/$name.final.csv"
                --temperature-out "$out/$name.temperature.csv" --gr-out "$out/$name.gr.csv")
    [ -z "$from" ] || args+=(--state-in "$from")
    local rc=0
    /usr/bin/time -f '%M %e' -o "$out/$name.time" "$batch" "${args[@]}" 2>"$out/$name.err" || rc=$?
    ended=""
    if [ "$rc" -eq 3 ]; then
        ended=$(head -1 "$out/$name.err" | sed 's/^ljgas-batch: //')
    elif [ "$rc" -ne 0 ]; then
        fail "$name: ljgas-batch exited with status $rc: $(head -1 "$out/$name.err")"
        return 1
    fi
}

echo "batch soak: $steps steps at each Tsoll, as ten segments of $segment, thermostat on"
printf '  %-6s %9s %14s %12s %12s %8s\n' Tsoll step "v_cm / v_rms" "mean T" "internal" "seconds"
for tsoll in 0.3 0.15 0.5; do
    from=""
    for i in $(seq 1 10); do
        name="T$tsoll.$i"
        segment "$name" "$segment" "$from" on "$tsoll" || break
        from="$out/$name.final.csv"
        at=$((i * segment))
        if [ -n "$ended" ]; then
            at=$(( (i - 1) * segment + $(sed 's/.*at step \([0-9]*\).*/\1/' <<<"$ended") ))
            echo "  $tsoll: the run ended at step $at of the soak: ${ended#*: }"
            fail "Tsoll $tsoll ended with an engine error: $ended"
        fi
        read -r ratio c2 < <(drift_of "$from")
        T=$(mean_temperature "$out/$name.temperature.csv")
        internal=$(awk -v t="$T" -v c="$c2" 'BEGIN { printf "%.6g", t - c }')
        secs=$(tail -1 "$out/$name.time" | cut -d' ' -f2)
        printf '  %-6s %9d %14s %12s %12s %8s\n' "$tsoll" "$at" "$ratio" "$T" "$internal" "$secs"
        # The state an engine error leaves is that of the failing step.
        [ -z "$ended" ] || break
        if awk -v r="$ratio" 'BEGIN { exit !(r >= 1e-3) }'; then
            fail "Tsoll $tsoll, step $at: centre-of-mass speed $ratio of the rms speed"
        fi
        if awk -v u="$internal" -v t="$tsoll" 'BEGIN { d = u / t - 1; exit !(d > 0.05 || d < -0.05) }'; then
            fail "Tsoll $tsoll, step $at: internal mean v^2 $internal is not within 5 % of $tsoll"
        fi
    done
done

# Thermostat off: momentum kept to rounding. Per particle and step about ten
# single-precision roundings of half an ulp of a typical speed, as a random
# walk; the bound is 20 times that.
segment off "$segment" "" off
[ -z "$ended" ] || fail "thermostat off: $ended"
momentum() { awk -F, 'NR > 1 { px += $4; py += $5 } END { printf "%.9g %.9g\n", px, py }' "$1"; }
read -r px0 py0 < <(momentum "$out/off.initial.csv")
read -r px1 py1 < <(momentum "$out/off.final.csv")
miss=$(awk -v a="$px0" -v b="$py0" -v c="$px1" -v d="$py1" 'BEGIN { printf "%.3g", sqrt((a-c)^2 + (b-d)^2) }')
bound=$(awk -v n="$segment" 'BEGIN { printf "%.3g", 20 * 0.5 * sqrt(0.3) * 2^-23 * sqrt(n * 225 * 10) }')
echo "  thermostat off, $segment steps: momentum ($px0, $py0) -> ($px1, $py1), moved $miss, rounding bound $bound"
if awk -v d="$miss" -v b="$bound" 'BEGIN { exit !(d > b) }'; then
    fail "thermostat off: the momentum moved by $miss, more than rounding ($bound)"
fi

# Memory: a tenth-length run against the full segment.
segment short $((segment / 10)) ""
[ -z "$ended" ] || fail "short run: $ended"
read -r rss_short _ < <(tail -1 "$out/short.time")
read -r rss_long _ < <(tail -1 "$out/T0.3.10.time")
growth=$((rss_long - rss_short))
echo "  memory: peak RSS $rss_short KiB after $((segment / 10)) steps, $rss_long KiB after $segment steps"
if [ "$growth" -ge 1024 ]; then
    fail "the peak RSS grew by $growth KiB from $((segment / 10)) to $segment steps"
fi

# g(r) over one long run (twice STEPS): the far bins, 10.5R to 14R, where
# single precision alone would have them off by several per cent, must lie
# within 1 % of their mean.
long=$((2 * steps))
"$batch" --quiet --steps "$long" --gr-out "$out/long.gr.csv" 2>"$out/long.err" ||
    fail "the $long-step run: $(head -1 "$out/long.err")"
spread=$(awk -F, 'NR > 1 && $1 >= 150 { g[$1] = $4; s += $4; n++ }
                  END { m = s / n; for (k in g) { d = g[k] / m - 1; if (d < 0) d = -d; if (d > w) w = d }
                        printf "%.4f", w }' "$out/long.gr.csv")
echo "  g(r) after $long steps: bins 150 to 200 within $spread of their mean"
if awk -v w="$spread" 'BEGIN { exit !(w > 0.01) }'; then
    fail "g(r)'s far bins after $long steps spread by $spread, more than 1 %"
fi

if [ "$status" -eq 0 ]; then
    echo "batch soak: passed"
fi
exit "$status"
