#!/usr/bin/env bash
# The playbook end to end over two test hosts (hosts.sh), each with a program of its own running
# under a name on its own list and a data folder of its own: the dry run reports each host's
# terminate and delete and changes nothing; the real pass ends each program, deletes its file and
# reports the same lines.
#   playbook-test.sh BUILD HELPER   (BUILD: a configured build folder whose programs are built)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd) helper=$2
# shellcheck source=tests/fleet/hosts.sh
source "$here/hosts.sh"

tmp=$(mktemp -d)
had=$(fleet_had_package)
programs=()
trap 'fleet_cleanup "$tmp" "$had" "${programs[@]}"' EXIT
trap 'exit 1' INT TERM
fail() { echo "playbook-test: $*" >&2; exit 1; }

cpack -G DEB -B "$tmp/package" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 ||
    fail "cpack: $(tail -5 "$tmp/cpack.log")"
deb=$(echo "$tmp"/package/pestrel_*_amd64.deb)
fleet_up "$tmp" 2
for i in 1 2; do
    fleet_list "$tmp" "$i" "$helper"
    fleet_start "$tmp" "$i"
    programs+=("$FLEET_PID")
done

pass() { # pass REPORT DRY
    ansible-playbook -i "$tmp/inventory.ini" "$here/../../packaging/ansible/pestrel.yml" \
        -e "pestrel_package=$deb pestrel_report=$1 pestrel_dry_run=$2" >"$1.log" 2>&1 ||
        fail "the playbook failed: $(tail -20 "$1.log")"
}
# check REPORT ALIVE: each host's report holds the terminate of its program and the delete of its
# file, and nothing failed.
check() {
    python3 - "$1.json" "$tmp" "$$" "${programs[@]}" <<'PY' || fail "report $1: $(cat "$1.txt")"
import json, sys
report, tmp, run, pids = json.load(open(sys.argv[1])), sys.argv[2], sys.argv[3], sys.argv[4:]
assert sorted(report) == ["host1", "host2"], sorted(report)
for i, pid in enumerate(pids, 1):
    host, name = report[f"host{i}"], f"fleet-{run}-{i}.exe"
    assert host["status"] == 0 and host["finished"] and not host["failed"], host
    assert {"verb": "terminate", "failed": False, "pid": pid, "name": name} in host["actions"]
    deleted = [a for a in host["actions"] if a["verb"] == "delete"]
    assert [a["path"] for a in deleted] == [f"{tmp}/host{i}/bin/{name}"], deleted
    assert deleted[0]["kept"].startswith(f"{tmp}/host{i}/data/pestrel/Undo/Kept/"), deleted
PY
}

pass "$tmp/dry" true
check "$tmp/dry"
for i in 1 2; do
    kill -0 "${programs[i - 1]}" || fail "the dry run ended the program of host$i"
    [ -e "$tmp/host$i/bin/fleet-$$-$i.exe" ] || fail "the dry run deleted the file of host$i"
done
grep -q "^host1: status 0, finished, .*terminate=1" "$tmp/dry.txt" || fail "$(cat "$tmp/dry.txt")"

pass "$tmp/real" false
check "$tmp/real"
for i in 1 2; do
    state=$(cut -d' ' -f3 "/proc/${programs[i - 1]}/stat" 2>/dev/null || true)
    [ -z "$state" ] || [ "$state" = Z ] || fail "the pass left the program of host$i running"
    [ ! -e "$tmp/host$i/bin/fleet-$$-$i.exe" ] || fail "the pass left the file of host$i"
    if [ -s "$tmp/namespaces" ]; then
        grep -q "Accepted publickey for root from 10.213." "$tmp/sshd-$i.log" ||
            fail "host$i was not reached through its sshd"
    fi
done
echo "playbook-test: passed ($(grep -c . "$tmp/namespaces") namespaces)"
