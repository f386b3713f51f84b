#!/usr/bin/env bash
# Builds the Debian package from the build tree into a folder of its own and
# checks its name, control fields, computed dependencies and contents: the
# program and its data under /usr, and nothing from the tests or benchmarks.
# Usage: debian_package.sh <build dir> <project version> <app id>
set -euo pipefail
build=$1
version=$2
id=$3

source "$(dirname "$0")/check_lib.sh"
out=$(check_scratch deb)
trap 'rm -rf "$out"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 || {
    cat "$out/cpack.log" >&2
    exit 1
}
deb=$out/orvinel_${version}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
    echo "FAIL: no $(basename "$deb"); cpack made:" >&2
    ls "$out" >&2
    exit 1
fi

echo "== dpkg-deb -I $(basename "$deb")"
dpkg-deb -I "$deb"
echo "== dpkg-deb -c $(basename "$deb")"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
echo "$contents"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = orvinel ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
[ "$(field Section)" = graphics ] || fail "Section is $(field Section)"
[ "$(field Maintainer)" = "The Orvinel developers <maintainers@orvinel.example>" ] ||
    fail "Maintainer is $(field Maintainer)"
[ -n "$(field Description)" ] || fail "no Description"

# Computed by dpkg-shlibdeps from the executable, not written by hand.
depends=$(field Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6; do
    [[ ", $depends," == *", $library "* || ", $depends," == *", $library,"* ]] ||
        fail "Depends lacks $library: $depends"
done

for path in ./usr/bin/orvinel ./usr/share/applications/$id.desktop \
    ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/$id.svg \
    ./usr/share/icons/hicolor/32x32/apps/$id.png ./usr/share/orvinel/guide/index.html \
    ./usr/share/doc/orvinel/copyright; do
    grep -q -x -F "$path" <<<"$contents" || fail "the package lacks $path"
done
outside=$(grep -v -E '^\./usr/(bin|share)/' <<<"$contents" | grep -v -x -E '\./|\./usr/' || true)
[ -z "$outside" ] || fail "the package holds files outside /usr/bin and /usr/share: $outside"
programs=$(grep -E '^\./usr/bin/.' <<<"$contents" || true)
[ "$programs" = "./usr/bin/orvinel" ] || fail "/usr/bin holds more than orvinel: $programs"
strays=$(grep -E '/(tests?|bench)(/|$)|/tst_|/packaging_|_bench' <<<"$contents" || true)
[ -z "$strays" ] || fail "test or benchmark files in the package: $strays"

[ "$status" -eq 0 ] && echo "package in order"
exit "$status"
