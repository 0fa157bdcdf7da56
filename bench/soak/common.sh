# Shared by the soak scripts (sourced, not run): install missing Debian
# packages, build the release preset, read the -b and STEPS arguments, and
# set up a batch soak's output.

# install_missing PACKAGE...: apt-get the ones not installed yet.
install_missing() {
    local need=() p sudo=""
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
    done
    [ ${#need[@]} -gt 0 ] || return 0
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
}

build_release() {
    cmake --preset release >/dev/null
    cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)"
}

# release_and_steps DEFAULT [-b] [STEPS]: with -b, builds the release preset;
# steps= STEPS, or DEFAULT without it.
release_and_steps() {
    local default=$1
    shift
    if [ "${1:-}" = -b ]; then
        build_release
        shift
    fi
    steps=${1:-$default}
}

# start_batch_soak NAME: batch= the release ljgas-batch (exit 2 when it is
# missing), out= an emptied build/soak/NAME, status=0, and fail MESSAGE,
# which reports and sets status=1.
start_batch_soak() {
    soak_name=$1
    batch=build/bin/ljgas-batch
    [ -x "$batch" ] || { echo "$soak_name soak: $batch missing; run with -b" >&2; exit 2; }
    out=build/soak/$soak_name
    rm -rf "$out"
    mkdir -p "$out"
    status=0
}

fail() {
    echo "$soak_name soak: FAILED: $*" >&2
    status=1
}
