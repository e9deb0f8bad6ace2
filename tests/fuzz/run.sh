#!/usr/bin/env bash
# Runs every fuzz target for a while, from its committed seeds in corpus/<name>/ plus what earlier
# runs of this build found. Fails when any target finds something; the input that triggered it
# is kept in <build>/findings/<name>/.
#
#   run.sh BUILD SECONDS [NAME...]   run the targets (all of them when no NAME is given)
#   run.sh --targets                 print the build target names
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
names=()
for corpus in "$here"/corpus/*/; do names+=("$(basename "$corpus")"); done
if [ "${1:-}" = "--targets" ]; then
    printf 'fuzz_%s ' "${names[@]}"
    echo
    exit 0
fi
build=$1 seconds=$2
shift 2
[ $# -gt 0 ] && names=("$@")
# The targets that work on files keep them in a temporary folder: in memory, when it can be.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export LSAN_OPTIONS="suppressions=$here/leaks.supp:print_suppressions=0"
status=0
for name in "${names[@]}"; do
    work="$build/corpus/$name" findings="$build/findings/$name" log="$build/fuzz_$name.log"
    mkdir -p "$work" "$findings"
    if "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$work" "$here/corpus/$name" \
        >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz_$name: ${runs:-?} runs in ${seconds} s, no finding"
    else
        echo "fuzz_$name: FINDING (input kept in $findings/)"
        grep -E -A12 '^==[0-9]+==|runtime error|deadly signal' "$log" | head -40
        status=1
    fi
done
exit $status
