#!/bin/sh
# Checks a service file with systemd-analyze, its program path replaced by the program as built:
#   verify-service.sh SYSTEMD-ANALYZE SERVICE-FILE PROGRAM
set -eu
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
sed "s|/usr/bin/pestrel|$3|" "$2" > "$folder/$(basename "$2")"
# A warning is a failure: the check's output must be empty.
output=$("$1" verify --man=no "$folder/$(basename "$2")" 2>&1) || { echo "$output"; exit 1; }
[ -z "$output" ] || { echo "$output"; exit 1; }
