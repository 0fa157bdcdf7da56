# Shared by the soak scripts (sourced, not run): install missing Debian
# packages, and build the release preset.

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
