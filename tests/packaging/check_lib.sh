# Sourced by the packaging checks: a scratch folder removed on exit, and
# failures that are collected so one run reports all of them.
# Usage: scratch=$(check_scratch NAME)
status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}
check_scratch() {
    mktemp -d "${TMPDIR:-/tmp}/orvinel-$1.XXXXXX"
}
