#!/bin/sh
# The manual pages that help2man made from the programs' --help and --version
# (the target man): each renders with groff without a warning, names its
# program in NAME, has a SYNOPSIS, carries the version the program prints, and
# lists every long option of the program's --help.
#
#   check_man_pages.sh GROFF MANDIR PROGRAM=EXECUTABLE...
set -u
[ $# -ge 3 ] || {
    echo "usage: $0 GROFF MANDIR PROGRAM=EXECUTABLE..." >&2
    exit 2
}
groff=$1
mandir=$2
shift 2

status=0
for arg in "$@"; do
    name=${arg%%=*}
    exe=${arg#*=}
    page=$mandir/$name.1
    fail() {
        echo "$name(1): $*" >&2
        status=1
    }
    if [ ! -s "$page" ]; then
        fail "$page was not made (build the target man)"
        continue
    fi
    # Every warning on: a page help2man could not make sense of shows here.
    if ! err=$("$groff" -man -Tutf8 -ww -z "$page" 2>&1); then
        fail "groff failed: $err"
    elif [ -n "$err" ]; then
        fail "groff warns: $err"
    fi
    # Plain text, one line per paragraph, no hyphenation, so that names and
    # options stand whole.
    text=$("$groff" -man -Tutf8 -rHY=0 -rLL=1000n -P-cbou "$page" 2>/dev/null)
    has() { printf '%s\n' "$text" | grep -E -q -- "$1"; }
    has "^ +$name - [a-z]" || fail "NAME does not read \"$name - description\""
    printf '%s\n' "$text" | grep -A 1 '^SYNOPSIS' | tail -n 1 | grep -E -q -- "^ +$name( |\$)" ||
        fail "no SYNOPSIS section showing $name"
    version=$("$exe" --version | head -n 1)
    printf '%s\n' "$text" | tail -n 1 | grep -F -q -- "$version" ||
        fail "the footer does not carry \"$version\" (an old page?)"
    for option in $("$exe" --help | grep -E -o -- '--[a-z][a-z-]*' | sort -u); do
        has "(^|[^a-z-])$option([^a-z-]|\$)" || fail "the option $option of --help is missing"
    done
done
exit $status
