#!/usr/bin/env bash
# Every setting the boxes accept, for as long as the user likes: hot, small
# discs, deep wells, each for a long headless run with ljgas-batch (release).
#
# usage: bench/soak/settings_soak.sh [-b] [STEPS]
#   -b      build the release preset first
#   STEPS   steps per setting (default 1000000)
#
# For each setting, thermostat on, from the lattice start:
#  - the run must end without an engine error;
#  - the mean temperature of its last tenth must lie within 5 % of Tsoll.
# The table gives, besides: the first peak of g(r) in sigma = 2R (the bin
# with the largest g_norm), how many unlisted close pairs the guard put into
# the list, how many steps took sub-steps and the most any took, and the
# steps per second. Then, for the settings whose integration is most
# strained, 100 000 steps with the thermostat off from the state the run
# left: the relative change of the total energy (ljgas-batch --thermo-out).
# Exit status 1 when a check fails. Files are left in build/soak/settings/.
set -euo pipefail
cd "$(dirname "$0")/../.."

source bench/soak/common.sh
release_and_steps 1000000 "$@"
start_batch_soak settings

# The summary line of ljgas-batch that starts with $2, field $3 on.
summary() { grep "^$2" "$1" | head -1 | sed "s/^$2 *//"; }

# NAME R E0 TSOLL
setting() {
    local name=$1 R=$2 e0=$3 tsoll=$4 rc=0
    "$batch" --R "$R" --e0 "$e0" --tsoll "$tsoll" --steps "$steps" --temperature-out "$out/$name.T.csv" \
        --gr-out "$out/$name.gr.csv" --state-out "$out/$name.state.csv" >"$out/$name.out" 2>"$out/$name.err" || rc=$?
    if [ "$rc" -ne 0 ]; then
        fail "$name: exit status $rc: $(head -1 "$out/$name.err")"
        return
    fi
    local rows tenth meanT peak guarded sub speed
    rows=$(($(wc -l <"$out/$name.T.csv") - 1))
    tenth=$((rows / 10))
    meanT=$(tail -n "$tenth" "$out/$name.T.csv" | awk -F, '{ s += $2 } END { printf "%.4f", s / NR }')
    # g_norm's largest bin; bin k lies at r = 0.07 k R = 0.035 k sigma.
    peak=$(awk -F, 'NR > 1 && $4 > best { best = $4; k = $1 } END { printf "%.3f (g %.2f)", 0.035 * k, best }' \
        "$out/$name.gr.csv")
    guarded=$(summary "$out/$name.out" "guarded pairs")
    sub="$(summary "$out/$name.out" "sub-stepped steps") (k <= $(summary "$out/$name.out" "most sub-steps"))"
    speed=$(summary "$out/$name.out" "steps per second")
    printf '  %-6s %-7s %-5s %-5s %8s %16s %8s %-28s %8s\n' "$name" "$R" "$e0" "$tsoll" "$meanT" "$peak" \
        "$guarded" "$sub" "$speed"
    if awk -v m="$meanT" -v t="$tsoll" 'BEGIN { d = m / t - 1; exit !(d > 0.05 || d < -0.05) }'; then
        fail "$name: mean T of the last tenth $meanT is not within 5 % of $tsoll"
    fi
}

# NAME: 100 000 steps with the thermostat off from the state the run left.
energy_drift() {
    local name=$1 R=$2 e0=$3 rc=0
    "$batch" --R "$R" --e0 "$e0" --thermostat off --steps 100000 --state-in "$out/$name.state.csv" \
        --thermo-out "$out/$name.off.csv" --quiet 2>"$out/$name.off.err" || rc=$?
    if [ "$rc" -ne 0 ]; then
        fail "$name, thermostat off: exit status $rc: $(head -1 "$out/$name.off.err")"
        return
    fi
    awk -F, -v n="$name" 'NR == 2 { e0 = $5; k0 = $3 } END { printf "  %-6s total energy %.4g -> %.4g over 100 000 steps: %+.2f %% of the kinetic energy\n", n, e0, $5, 100 * ($5 - e0) / k0 }' \
        "$out/$name.off.csv"
}

echo "settings soak: $steps steps each, thermostat on, from the lattice start"
printf '  %-6s %-7s %-5s %-5s %8s %16s %8s %-28s %8s\n' name R e0 Tsoll "mean T" "g peak (sigma)" guarded \
    "sub-stepped steps" "steps/s"
setting T0.5 0.01 0.2 0.5
setting T0.7 0.01 0.2 0.7
setting T1 0.01 0.2 1.0
setting T2 0.01 0.2 2.0
setting R.005 0.005 0.2 0.3
setting R.0075 0.0075 0.2 0.3
setting e0.5 0.01 0.5 0.3
setting e1 0.01 1.0 0.3
echo "thermostat off, from each end state:"
energy_drift T1 0.01 0.2
energy_drift T2 0.01 0.2
energy_drift R.005 0.005 0.2
energy_drift e1 0.01 1.0

if [ "$status" -eq 0 ]; then
    echo "settings soak: passed"
fi
exit "$status"
