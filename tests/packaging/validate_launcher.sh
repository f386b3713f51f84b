#!/usr/bin/env bash
# The launcher must pass desktop-file-validate without an error or a warning.
# Hints are shown but allowed: "Geography" draws the hint that it could join
# Science or Education, which would list the program in a second menu.
# Usage: validate_launcher.sh <file.desktop>
set -euo pipefail
remarks=$(desktop-file-validate "$1" 2>&1) || {
    echo "$remarks" >&2
    exit 1
}
[ -n "$remarks" ] && echo "$remarks"
if grep -q -E ': (error|warning): ' <<<"$remarks"; then
    exit 1
fi
# File managers offer "Open with Orvinel" for overlay files only when the
# launcher takes a file and names their type.
for line in '^Exec=orvinel %f$' '^MimeType=.*application/vnd\.google-earth\.kml\+xml;' \
    '^MimeType=.*application/vnd\.google-earth\.kmz;'; do
    grep -q -E "$line" "$1" || {
        echo "FAIL: $1 has no line matching $line" >&2
        exit 1
    }
done
echo "$1: valid"
