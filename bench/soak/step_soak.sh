#!/usr/bin/env bash
# One step of dt against the sub-steps of a stiff gas: in which settings a
# single kick-drift step per dt fails, and what the gas rule of
# engine/sub_steps.h makes of them, over long headless runs (release).
#
# usage: bench/soak/step_soak.sh [-b] [STEPS]
#   -b      build the release preset first
#   STEPS   steps per setting and build (default 1000000)
#
# Each setting runs twice from the lattice start, thermostat on: with the
# release ljgas-batch, and with one built in build-single-steps/ with
# LJGAS_SINGLE_STEP_GAS defined, whose gas rule never cuts a step (the speed
# limit on the fastest disc and the close-pair guard act in both). For each
# run the table gives the mean temperature of the read-outs after the first
# tenth of the steps, its deviation from Tsoll, the step of an engine error
# if one ended the run, and how many steps were cut into sub-steps; "same"
# says whether the two runs end in the same state to the bit, that is,
# whether the gas rule never acted.
# Checks, exit status 1 when one fails:
#  - no run of the release build ends with an engine error;
#  - at the defaults and at e0 0.5 the two runs end the same to the bit;
#  - where single steps run more than 2 % warm, the release build cuts them
#    and holds its mean at most 2 % above Tsoll and at most 5 % below it.
#    Sub-steps take out the heat of collisions too stiff for one step; what
#    a hot gas loses where the neighbour list misses part of the well
#    between its refreshes they cannot put back (see settings_soak.sh).
# One run at a time. Files are left in build/soak/step/.
set -euo pipefail
cd "$(dirname "$0")/../.."

source bench/soak/common.sh
release_and_steps 1000000 "$@"
start_batch_soak step

single_dir=build-single-steps
single=$single_dir/bin/ljgas-batch
echo "step soak: building the single-step ljgas-batch in $single_dir/"
cmake -S . -B "$single_dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-DLJGAS_SINGLE_STEP_GAS \
    -DLJGAS_WITH_UI=OFF -DLJGAS_WITH_TESTS=OFF -DLJGAS_WITH_BENCH=OFF -DLJGAS_WITH_PYTHON=OFF >/dev/null
cmake --build "$single_dir" --target ljgas-batch -j 2 >/dev/null

# RUN BINARY NAME R E0 TSOLL: sets meanT, dev (per cent), ended (the step of
# an engine error, or -) and cut (steps taken in sub-steps).
run() {
    local bin=$1 name=$2 R=$3 e0=$4 tsoll=$5 rc=0
    "$bin" --R "$R" --e0 "$e0" --tsoll "$tsoll" --steps "$steps" --temperature-out "$out/$name.T.csv" \
        --state-out "$out/$name.state.csv" >"$out/$name.out" 2>"$out/$name.err" || rc=$?
    ended=-
    if [ "$rc" -eq 3 ]; then
        ended=$(head -1 "$out/$name.err" | sed -n 's/.* at step \([0-9]*\).*/\1/p')
    elif [ "$rc" -ne 0 ]; then
        fail "$name: exit status $rc: $(head -1 "$out/$name.err")"
        ended=?
    fi
    meanT=$(awk -F, -v from=$((steps / 10)) 'NR > 1 && $1 > from { s += $2; n++ }
                                            END { if (n) printf "%.4f", s / n; else print "-" }' "$out/$name.T.csv")
    dev=$(awk -v m="$meanT" -v t="$tsoll" 'BEGIN { if (m == "-") print "-"; else printf "%+.2f", 100 * (m / t - 1) }')
    cut=$(grep '^sub-stepped steps' "$out/$name.out" | awk '{ print $3 }')
    cut=${cut:--}
}

# NAME R E0 TSOLL [whole]: both runs, one table row and the checks; "whole"
# marks a setting whose steps the gas rule must leave alone.
setting() {
    local name=$1 R=$2 e0=$3 tsoll=$4 expect=${5:-}
    run "$single" "$name.single" "$R" "$e0" "$tsoll"
    local sT=$meanT sdev=$dev sended=$ended scut=$cut
    run "$batch" "$name.rule" "$R" "$e0" "$tsoll"
    local same=no
    cmp -s "$out/$name.single.state.csv" "$out/$name.rule.state.csv" && same=yes
    printf '  %-10s %-7s %-4s %-5s | %8s %7s %7s %8s | %8s %7s %7s %8s | %s\n' "$name" "$R" "$e0" "$tsoll" \
        "$sT" "$sdev" "$sended" "$scut" "$meanT" "$dev" "$ended" "$cut" "$same"
    [ "$ended" = - ] || fail "$name: the run ended with an engine error at step $ended"
    if [ "$expect" = whole ] && [ "$same" != yes ]; then
        fail "$name: the gas rule cut steps that one step resolves"
    fi
    if [ "$sdev" != - ] && awk -v d="$sdev" 'BEGIN { exit !(d > 2) }'; then
        [ "$same" = no ] || fail "$name: single steps run $sdev % warm and the gas rule left them whole"
        if [ "$dev" = - ] || awk -v d="$dev" 'BEGIN { exit !(d > 2 || d < -5) }'; then
            fail "$name: cut into sub-steps the mean T is $dev % off Tsoll"
        fi
    fi
}

echo "step soak: $steps steps per setting and build, thermostat on, from the lattice start"
printf '  %-10s %-7s %-4s %-5s | %-34s | %-34s | %s\n' "" "" "" "" "one step of dt" "the gas rule" ""
printf '  %-10s %-7s %-4s %-5s | %8s %7s %7s %8s | %8s %7s %7s %8s | %s\n' name R e0 Tsoll \
    "mean T" "dev %" error "cut" "mean T" "dev %" error "cut" same
setting defaults 0.01 0.2 0.3 whole
setting T0.5 0.01 0.2 0.5
setting T0.7 0.01 0.2 0.7
setting T0.8 0.01 0.2 0.8
setting T1 0.01 0.2 1
setting T1.5 0.01 0.2 1.5
setting T1.7 0.01 0.2 1.7
setting T1.8 0.01 0.2 1.8
setting T2 0.01 0.2 2
setting e0.5 0.01 0.5 0.3 whole
setting e0.6 0.01 0.6 0.3
setting e0.7 0.01 0.7 0.3
setting e0.8 0.01 0.8 0.3
setting e1 0.01 1 0.3
setting e0.5T0.4 0.01 0.5 0.4
setting e0.5T1 0.01 0.5 1
setting e1T2 0.01 1 2
setting R.0075 0.0075 0.2 0.3
setting R.007 0.007 0.2 0.3
setting R.006 0.006 0.2 0.3
setting R.005 0.005 0.2 0.3
setting R.005T.05 0.005 0.2 0.05
setting R.005T.1 0.005 0.2 0.1
setting R.0075T1 0.0075 0.2 1
setting R.0075T2 0.0075 0.2 2
setting R.005T1 0.005 0.2 1
setting R.005T2 0.005 0.2 2
setting R.0075e.5 0.0075 0.5 0.3

if [ "$status" -eq 0 ]; then
    echo "step soak: passed"
fi
exit "$status"
