# Debian 12 packages that build, test and package Orvinel. Sourced by the
# other scripts; installs only what is missing. `locales` is for the
# comma-decimal tests (see orvinel_test_locale); clang-format-14 is the one
# version the format check (.ci/run) and the format target use. libzip-dev
# (found through pkgconf) builds the KMZ archive; unzip checks it in the tests.
# libkml-dev reads the files the in-place edit test writes a second way.
ORVINEL_PACKAGES=(
    cmake g++ make qt6-base-dev fonts-liberation
    xvfb xauth imagemagick locales
    clang-format-14 desktop-file-utils appstream dpkg-dev file
    libzip-dev pkgconf unzip libkml-dev
)
# The sanitizer build (scripts/test-sanitized) compiles with Debian 12's
# clang (14). Its sanitizer runtime is only a recommendation of clang's and
# the symbolizer (names in reports and suppressions) comes with llvm, so both
# are named. libclang-rt-14-dev also holds libFuzzer (tests/fuzz); nothing more
# is needed for it.
ORVINEL_SANITIZER_PACKAGES=(clang libclang-rt-14-dev llvm-14)
# The Windows build (scripts/build-windows, test-windows): Debian's mingw-w64
# with POSIX threads and its zlib; Qt's host tools (moc, rcc, uic) from the
# Linux Qt of the same version; Ninja; Wine to run the tests; NSIS for the
# installer. The installer's check (scripts/check-windows-install) runs the
# program on Xvfb, waits for its window (xwininfo, x11-utils) and takes a
# screenshot (ImageMagick). Qt and libzip for Windows come from the SDK
# (../shared/windows-sdk, or scripts/build-windows-sdk).
ORVINEL_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev qt6-base-dev qt6-base-dev-tools
    cmake ninja-build pkgconf wine64 nsis xz-utils xvfb xauth x11-utils imagemagick
)
# scripts/tidy: clang-tidy and run-clang-tidy of the same version 14, named
# so, as the format check names clang-format-14.
ORVINEL_TIDY_PACKAGES=(clang-tidy-14)

orvinel_sudo() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs those of the named packages (ORVINEL_PACKAGES if none) that are missing.
orvinel_install_missing() {
    local wanted=("$@") missing=()
    [ ${#wanted[@]} -gt 0 ] || wanted=("${ORVINEL_PACKAGES[@]}")
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    orvinel_sudo apt-get update -q
    orvinel_sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}

# The comma-decimal tests switch to de_DE.UTF-8 and fail where they cannot.
# Debian installs locales without generating them; enabling it in
# /etc/locale.gen keeps it through a later locale-gen.
orvinel_test_locale() {
    locale -a | grep -qix 'de_DE\.utf-\?8' && return 0
    echo "Generating the de_DE.UTF-8 locale"
    if grep -q '^# *de_DE\.UTF-8 UTF-8$' /etc/locale.gen; then
        orvinel_sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)$/\1/' /etc/locale.gen
    elif ! grep -q '^de_DE\.UTF-8 UTF-8$' /etc/locale.gen; then
        echo 'de_DE.UTF-8 UTF-8' | orvinel_sudo tee -a /etc/locale.gen >/dev/null
    fi
    orvinel_sudo locale-gen --keep-existing
    locale -a | grep -qix 'de_DE\.utf-\?8' || {
        echo "Could not generate the de_DE.UTF-8 locale" >&2
        return 1
    }
}

orvinel_build() {
    cmake -S "$ORVINEL_ROOT" -B "$ORVINEL_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$ORVINEL_ROOT/build" -j"$(nproc)"
}
