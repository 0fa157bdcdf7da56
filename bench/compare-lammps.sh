#!/usr/bin/env bash
# Steps per second of ljgas-batch and of LAMMPS on the same system, run in
# turn three times each; prints both medians and their ratio.
#   bench/compare-lammps.sh [steps]               (default 200000)
#   bench/compare-lammps.sh --conserving [steps]  (default 50000)
# The first compares the designed dynamics with bench/lammps/in.lj2d (the
# same gas at LAMMPS's step 0.001). The second compares the conserving
# dynamics with the deck ljgas-batch exports for it (--lammps-out: the same
# state, the same inner step dt/k, g(r) and the thermo output as the deck
# has them): both cover the same simulated time, `steps` of 0.001, which
# LAMMPS makes in k steps each.
# Needs build/bin/ljgas-batch (./setup test or ./setup run builds it) and
# LAMMPS: apt-get install lammps.
set -euo pipefail
cd "$(dirname "$0")/.."
conserving=0
if [ "${1:-}" = --conserving ]; then
    conserving=1
    shift
fi
steps=${1:-$([ "$conserving" = 1 ] && echo 50000 || echo 200000)}
batch=${LJGAS_BATCH:-build/bin/ljgas-batch}
input=bench/lammps/in.lj2d

[ -x "$batch" ] || { echo "compare-lammps: $batch is missing; build first (./setup test)" >&2; exit 2; }
command -v lmp >/dev/null || { echo "compare-lammps: lmp is missing; apt-get install lammps" >&2; exit 2; }

# Wall time of a whole process, start-up included, in seconds.
seconds() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo "scale=6; ($end - $start) / 1000000000" | bc
}

median() { printf '%s\n' "$@" | sort -g | sed -n 2p; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ours=(--quiet --steps "$steps" --state-out "$work/state.csv")
theirs=(-in "$(pwd)/$input" -var steps "$steps" -log none -screen none)
if [ "$conserving" = 1 ]; then
    # The lattice melted at the defaults, then one run from there each.
    "$batch" --quiet --steps 20000 --dynamics conserving --state-out "$work/start.csv" --lammps-out "$work/deck"
    ours=(--quiet --dynamics conserving --state-in "$work/start.csv" --steps "$steps" --state-out "$work/state.csv")
    theirs=(-in in.ljgas -var steps "$steps" -log none -screen none)
    echo "inner steps per step: $(grep -m1 '^variable *substeps' "$work/deck/in.ljgas" | awk '{print $4}')"
fi
a=()
b=()
for round in 1 2 3; do
    t=$(seconds "$batch" "${ours[@]}")
    a+=("$(echo "scale=1; $steps / $t" | bc)")
    t=$(cd "${work}/deck" 2>/dev/null || cd "$work"; seconds lmp "${theirs[@]}")
    b+=("$(echo "scale=1; $steps / $t" | bc)")
    echo "round $round: ljgas ${a[-1]} steps/s, LAMMPS ${b[-1]} steps/s (steps of 0.001)"
done
x=$(median "${a[@]}")
y=$(median "${b[@]}")
echo "median over 3 rounds of $steps steps on $(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')):"
echo "  ljgas-batch  $x steps/s"
echo "  LAMMPS       $y steps/s"
echo "  ratio        $(echo "scale=2; $x / $y" | bc)"
