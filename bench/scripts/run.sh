#!/bin/bash
# Runs every benchmark script with kestrel and, side by side, with the two small
# ECMAScript interpreters Debian packages (duk, mujs) when they are installed, and
# prints the CPU time of each and the ratio other / kestrel (above 1: kestrel is faster).
# Each time is the best of RUNS runs (default 3).
#
#   run.sh KESTREL [SCRIPT...]
set -u
kestrel=${1:?usage: run.sh KESTREL [SCRIPT...]}
shift
dir=$(dirname "$0")
[ $# -gt 0 ] || set -- "$dir"/*.js
runs=${RUNS:-3}
TIMEFORMAT='%3U %3S'

# Best user + system time of a command in seconds, or "failed".
best() {
    local best="" t status
    for ((r = 0; r < runs; r++)); do
        t=$( { time "$@" > /dev/null 2>&1; } 2>&1 )
        status=$?
        if [ $status -ne 0 ]; then
            echo failed
            return
        fi
        t=$(echo "$t" | awk '{ printf "%.3f", $1 + $2 }')
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
    done
    echo "$best"
}

ratio() {
    case "$1 $2" in
    *failed* | *-*) echo "-" ;;
    *) awk -v k="$1" -v o="$2" 'BEGIN { if (k > 0) printf "%.2fx\n", o / k; else print "-" }' ;;
    esac
}

printf '%-14s %10s %10s %8s %10s %8s\n' script kestrel duk ratio mujs ratio
for script in "$@"; do
    k=$(best "$kestrel" "$script")
    d=-
    m=-
    command -v duk > /dev/null && d=$(best duk "$script")
    command -v mujs > /dev/null && m=$(best mujs "$script")
    printf '%-14s %10s %10s %8s %10s %8s\n' "$(basename "$script")" "$k" "$d" "$(ratio "$k" "$d")" "$m" "$(ratio "$k" "$m")"
done
