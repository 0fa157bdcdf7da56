#!/usr/bin/env bash
# Runs the libFuzzer targets built by the fuzz preset for a fixed time each.
#
# usage: fuzz/run.sh [-b] [-k] [-t SECONDS] [TARGET...]
#   -b           configure and build the fuzz preset first
#   -k           keep what the run learns: the corpus grows in
#                build-fuzz/corpus/TARGET and is used again next time
#                (default: a scratch folder, removed afterwards)
#   -t SECONDS   fuzzing time per target (default 10)
# TARGET is text_to_number, state_file or run; default all three.
#
# The seeds in fuzz/corpus/TARGET are read, never written. A fault stops the
# target and leaves its input in build-fuzz/artifacts/; replay it with
#   build-fuzz/bin/TARGET_fuzzer build-fuzz/artifacts/crash-...
# Prints one summary line per target and exits non-zero if any target failed.
set -euo pipefail
cd "$(dirname "$0")/.."

build=0
keep=0
seconds=10
while getopts "bkt:" opt; do
    case "$opt" in
    b) build=1 ;;
    k) keep=1 ;;
    t) seconds=$OPTARG ;;
    *) sed -n '3,12p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(text_to_number state_file run)

if [ "$build" = 1 ]; then
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"
fi

# The longest input worth trying: thousands of digits for a box text, a
# little more than a whole state file, a few box texts for a run.
max_len() {
    case "$1" in
    text_to_number) echo 4096 ;;
    state_file) echo 16384 ;;
    run) echo 256 ;;
    esac
}

out=build-fuzz
mkdir -p "$out/artifacts" "$out/logs"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

status=0
summary=()
for t in "${targets[@]}"; do
    exe="$out/bin/${t}_fuzzer"
    seeds="fuzz/corpus/$t"
    if [ ! -x "$exe" ] || [ ! -d "$seeds" ]; then
        echo "fuzz: no target '$t' (build with 'fuzz/run.sh -b', targets: text_to_number state_file run)" >&2
        exit 2
    fi
    if [ "$keep" = 1 ]; then
        corpus="$out/corpus/$t"
    else
        corpus="$scratch/$t"
    fi
    mkdir -p "$corpus"
    dict=()
    [ -f "fuzz/$t.dict" ] && dict=(-dict="fuzz/$t.dict")
    log="$out/logs/$t.log"
    set +e
    "$exe" "$corpus" "$seeds" "${dict[@]}" -max_total_time="$seconds" -max_len="$(max_len "$t")" \
        -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$out/artifacts/${t}-" \
        >"$log" 2>&1
    rc=$?
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1)
    units=$(find "$corpus" -type f | wc -l)
    if [ "$rc" -ne 0 ]; then
        status=1
        echo "fuzz: $t FAILED (exit $rc); the end of $log:" >&2
        tail -n 40 "$log" >&2
        summary+=("fuzz $t: FAILED after ${runs:-?} runs; input saved under $out/artifacts/")
    else
        summary+=("fuzz $t: ${runs:-?} runs in ${secs:-?} s, $units new inputs, peak RSS ${rss:-?} MB, no fault")
    fi
done
printf '%s\n' "${summary[@]}"
exit "$status"
