#!/bin/sh
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

# Best user + system time of a command, in seconds.
best() {
    python3 - "$runs" "$@" <<'EOF'
import resource, subprocess, sys
runs, cmd = int(sys.argv[1]), sys.argv[2:]
best = None
for _ in range(runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    done = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if done.returncode != 0:
        print("failed")
        sys.exit(0)
    t = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    best = t if best is None else min(best, t)
print("%.3f" % best)
EOF
}

ratio() {
    case "$1$2" in
    *failed* | *-*) echo "-" ;;
    *) python3 -c "import sys; a, b = float(sys.argv[1]), float(sys.argv[2]); print('%.2fx' % (b / a) if a > 0 else '-')" "$1" "$2" ;;
    esac
}

printf '%-14s %10s %10s %8s %10s %8s\n' script kestrel duk ratio mujs ratio
for script in "$@"; do
    k=$(best "$kestrel" "$script")
    d=-; m=-
    command -v duk > /dev/null && d=$(best duk "$script")
    command -v mujs > /dev/null && m=$(best mujs "$script")
    printf '%-14s %10s %10s %8s %10s %8s\n' "$(basename "$script")" "$k" "$d" "$(ratio "$k" "$d")" "$m" "$(ratio "$k" "$m")"
done
