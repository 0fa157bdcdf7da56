#!/usr/bin/env bash
# Steps per second of ljgas-batch and of LAMMPS on the same system, run in
# turn three times each; prints both medians and their ratio.
#   bench/compare-lammps.sh [steps]        (default 200000)
# Needs build/bin/ljgas-batch (./setup test or ./setup run builds it) and
# LAMMPS: apt-get install lammps.
set -euo pipefail
cd "$(dirname "$0")/.."
steps=${1:-200000}
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
ours=()
theirs=()
for round in 1 2 3; do
    t=$(seconds "$batch" --quiet --steps "$steps" --state-out "$work/state.csv")
    ours+=("$(echo "scale=1; $steps / $t" | bc)")
    t=$(seconds lmp -in "$input" -var steps "$steps" -log none -screen none)
    theirs+=("$(echo "scale=1; $steps / $t" | bc)")
    echo "round $round: ljgas ${ours[-1]} steps/s, LAMMPS ${theirs[-1]} steps/s"
done
a=$(median "${ours[@]}")
b=$(median "${theirs[@]}")
echo "median over 3 rounds of $steps steps on $(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')):"
echo "  ljgas-batch  $a steps/s"
echo "  LAMMPS       $b steps/s"
echo "  ratio        $(echo "scale=2; $a / $b" | bc)"
