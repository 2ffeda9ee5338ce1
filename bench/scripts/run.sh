#!/bin/bash
# Runs every benchmark script with kestrel and, side by side, with the small
# ECMAScript interpreters Debian packages (duk, mujs) and with Lua 5.4 running the
# same script written in Lua (NAME.lua beside NAME.js), when they are installed.
# Prints the CPU time of each, the ratio kestrel / the faster of duk and mujs and
# the ratio kestrel / Lua (below 1: kestrel is faster), their geometric means, and
# the peak memory of the scripts in memory/. Each time is the best of RUNS runs
# (default 3). A script whose first line says "peers: skip" runs without the
# peers (they would take minutes).
#
#   run.sh KESTREL [SCRIPT...]
set -u
kestrel=${1:?usage: run.sh KESTREL [SCRIPT...]}
shift
dir=$(dirname "$0")
[ $# -gt 0 ] || set -- "$dir"/*.js
runs=${RUNS:-3}
TIMEFORMAT='%3U %3S'

have() { command -v "$1" > /dev/null; }

# Best user + system time of a command in seconds, or "-" when it fails.
best() {
    local best="" t
    for ((r = 0; r < runs; r++)); do
        if ! t=$( { time "$@" > /dev/null 2>&1; } 2>&1 ); then
            echo -
            return
        fi
        t=$(echo "$t" | awk '{ printf "%.3f", $1 + $2 }')
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
    done
    echo "$best"
}

# A / B as "0.123x" (three significant digits, so that the geometric mean never
# meets a ratio rounded to zero), or "-" when either is missing or zero.
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || a + 0 <= 0 || b + 0 <= 0) print "-"; else printf "%.3gx\n", a / b }'
}

# The faster of two times, ignoring a missing one.
faster() {
    awk -v a="$1" -v b="$2" 'BEGIN {
        if (a == "-") print b; else if (b == "-") print a; else print (a + 0 < b + 0 ? a : b) }'
}

echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
printf '%-12s %8s %8s %8s %8s %10s %8s\n' script kestrel duk mujs lua k/peer k/lua
peerRatios=()
luaRatios=()
for script in "$@"; do
    k=$(best "$kestrel" "$script")
    d=-; m=-; l=-
    if ! head -n 1 "$script" | grep -q 'peers: skip'; then
        have duk && d=$(best duk "$script")
        have mujs && m=$(best mujs "$script")
    fi
    lua=${script%.js}.lua
    have lua5.4 && [ -f "$lua" ] && l=$(best lua5.4 "$lua")
    p=$(ratio "$k" "$(faster "$d" "$m")")
    q=$(ratio "$k" "$l")
    [ "$p" != - ] && peerRatios+=("${p%x}")
    [ "$q" != - ] && luaRatios+=("${q%x}")
    printf '%-12s %8s %8s %8s %8s %10s %8s\n' "$(basename "$script" .js)" "$k" "$d" "$m" "$l" "$p" "$q"
done

geomean() {
    [ $# -gt 0 ] || { echo -; return; }
    printf '%s\n' "$@" | awk '{ s += log($1); n++ } END { printf "%.2fx\n", exp(s / n) }'
}
printf '%-12s %8s %8s %8s %8s %10s %8s\n' "geomean" "" "" "" "" "$(geomean "${peerRatios[@]}")" "$(geomean "${luaRatios[@]}")"

# Peak resident memory in MB of one run, or "-".
peak() {
    [ -x /usr/bin/time ] || { echo -; return; }
    /usr/bin/time -f '%M' -o /tmp/kestrel-bench-rss.$$ "$@" > /dev/null 2>&1 || { echo -; return; }
    awk '{ printf "%.1f", $1 / 1024 }' /tmp/kestrel-bench-rss.$$
    rm -f /tmp/kestrel-bench-rss.$$
}

if [ -d "$dir/memory" ]; then
    echo
    printf '%-12s %10s %10s %10s   (peak RSS, MB)\n' memory kestrel duk mujs
    for script in "$dir"/memory/*.js; do
        d=-; m=-
        have duk && d=$(peak duk "$script")
        have mujs && m=$(peak mujs "$script")
        printf '%-12s %10s %10s %10s\n' "$(basename "$script" .js)" "$(peak "$kestrel" "$script")" "$d" "$m"
    done
fi
