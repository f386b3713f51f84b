# Debian 12 packages that build, test and package Orvinel. Sourced by the
# other scripts; installs only what is missing.
ORVINEL_PACKAGES=(
    cmake g++ make qt6-base-dev fonts-liberation
    xvfb xauth imagemagick
    clang-format desktop-file-utils appstream dpkg-dev file
)

orvinel_install_missing() {
    local missing=()
    for package in "${ORVINEL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
}

orvinel_build() {
    cmake -S "$ORVINEL_ROOT" -B "$ORVINEL_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$ORVINEL_ROOT/build" -j"$(nproc)"
}
