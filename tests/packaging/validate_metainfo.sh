#!/usr/bin/env bash
# The AppStream metadata must validate with no error, warning or info (only
# pedantic hints, such as the upper-case letter in the id, may stay), and its
# newest release must be the version being built, so software centres never
# offer a package under an older version's notes.
# Usage: validate_metainfo.sh <file.metainfo.xml> <project version>
set -euo pipefail
metainfo=$1
version=$2
appstreamcli validate --no-net --strict "$metainfo"
newest=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | sed 's/.*="//; s/"$//')
if [ "$newest" != "$version" ]; then
    echo "FAIL: the newest release in $metainfo is '$newest', the project is $version" >&2
    exit 1
fi
for type in application/vnd.google-earth.kml+xml application/vnd.google-earth.kmz; do
    if ! grep -q "<mediatype>$type</mediatype>" "$metainfo"; then
        echo "FAIL: $metainfo does not say it provides $type" >&2
        exit 1
    fi
done
