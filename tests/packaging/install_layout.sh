#!/usr/bin/env bash
# Installs the build tree into a fresh prefix and checks what landed: exactly
# the program and its data, icons of the sizes their folders promise, a
# launcher, icon and metadata that name each other, and a program that starts.
# Usage: install_layout.sh <build dir> <app id> <icon size>...
set -euo pipefail
build=$1
id=$2
shift 2
sizes=("$@")

source "$(dirname "$0")/check_lib.sh"
prefix=$(check_scratch install)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || {
    cat "$prefix.log" >&2
    rm -f "$prefix.log"
    exit 1
}
rm -f "$prefix.log"

# Exactly these files outside the guide: anything more (a test or benchmark
# program, a stray library) would end up in the package too.
expected=(
    bin/orvinel
    share/applications/$id.desktop
    share/metainfo/$id.metainfo.xml
    share/icons/hicolor/scalable/apps/$id.svg
    share/doc/orvinel/copyright
)
for size in "${sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
actual=$(cd "$prefix" && find . -type f -not -path './share/orvinel/guide/*' | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$actual" != "$wanted" ]; then
    fail "installed files differ from the expected list:"
    diff <(echo "$wanted") <(echo "$actual") >&2 || true
fi
[ -x "$prefix/bin/orvinel" ] || fail "bin/orvinel is not executable"
[ -f "$prefix/share/orvinel/guide/index.html" ] || fail "the user guide is not installed"

for size in "${sizes[@]}"; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$png" ] || continue
    kind=$(file -b "$png")
    [[ "$kind" == "PNG image data, $size x $size,"* ]] || fail "$png is not a $size x $size PNG: $kind"
done
svg=$prefix/share/icons/hicolor/scalable/apps/$id.svg
if [ -f "$svg" ]; then
    kind=$(file -b "$svg")
    [[ "$kind" == "SVG Scalable Vector Graphics image"* ]] || fail "$svg is not an SVG picture: $kind"
fi

# The desktop finds the program, icon and metadata through these keys.
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
if [ -f "$desktop" ]; then
    exec_line=$(sed -n 's/^Exec=//p' "$desktop")
    [ -x "$prefix/bin/${exec_line%% *}" ] || fail "Exec=$exec_line names no installed program"
    [ "$(sed -n 's/^Icon=//p' "$desktop")" = "$id" ] || fail "Icon= is not $id"
    [ "$(sed -n 's/^Name=//p' "$desktop")" = "Orvinel" ] || fail "Name= is not Orvinel"
fi
if [ -f "$metainfo" ]; then
    grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metadata does not launch $id.desktop"
fi

# Started from the installed tree, the program must keep running until it is
# stopped: a missing library, plugin or resource would end it at once.
if [ -x "$prefix/bin/orvinel" ]; then
    set +e
    QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/orvinel" >"$prefix/run.log" 2>&1
    code=$?
    set -e
    if [ "$code" -ne 124 ]; then
        fail "the installed program ended by itself with exit code $code"
        cat "$prefix/run.log" >&2
    fi
fi

[ "$status" -eq 0 ] && echo "installed layout in order"
exit "$status"
