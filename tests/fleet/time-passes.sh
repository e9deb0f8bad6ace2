#!/usr/bin/env bash
# Times the playbook's real pass over two test hosts (hosts.sh) and over the first alone, in turn,
# ROUNDS times; prints "two SECONDS" and "one SECONDS" for each round. Every pass ends the program
# started on each of its hosts and deletes its file, as a pass against a real finding would.
#   time-passes.sh ROUNDS PACKAGE HELPER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
rounds=$1 package=$(realpath "$2") helper=$3
# shellcheck source=tests/fleet/hosts.sh
source "$here/hosts.sh"

tmp=$(mktemp -d)
had=$(fleet_had_package)
started=()
trap 'fleet_cleanup "$tmp" "$had" "${started[@]}"' EXIT
trap 'exit 1' INT TERM

fleet_up "$tmp" 2 >&2
for i in 1 2; do
    fleet_list "$tmp" "$i" "$helper"
done
playbook=$here/../../packaging/ansible/pestrel.yml
run() { # run PACKAGE [ANSIBLE OPTIONS...]
    local deb=$1
    shift
    ansible-playbook -i "$tmp/inventory.ini" "$playbook" "$@" \
        -e "pestrel_package=$deb pestrel_report=$tmp/report" >"$tmp/log" 2>&1 ||
        { tail -20 "$tmp/log" >&2; exit 1; }
}
# Installs the package on both hosts, untimed.
run "$package"
timed() { # timed LABEL HOSTS [ANSIBLE OPTIONS...]
    local label=$1 hosts=$2 i start
    shift 2
    started=()
    for i in $(seq "$hosts"); do
        [ -e "$tmp/host$i/bin/fleet-$$-$i.exe" ] || cp "$helper" "$tmp/host$i/bin/fleet-$$-$i.exe"
        fleet_start "$tmp" "$i"
        started+=("$FLEET_PID")
    done
    start=$(date +%s.%N)
    run "" "$@"
    awk -v label="$label" -v start="$start" -v end="$(date +%s.%N)" \
        'BEGIN { printf "%s %.3f\n", label, end - start }'
    for pid in "${started[@]}"; do # ended by the pass, unless it failed
        kill -9 "$pid" 2>/dev/null && echo "time-passes: a program outlived the pass" >&2
        wait "$pid" 2>/dev/null || true
    done
}
for _ in $(seq "$rounds"); do
    timed two 2
    timed one 1 --limit host1
done
