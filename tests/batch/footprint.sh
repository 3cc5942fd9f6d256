#!/usr/bin/env bash
# velmora-batch carries no large initialised storage: its .data section stays
# below 100 KB, and stripped of debug information and symbols, as it ships, the
# program stays below 2 MB (the .exe with the C++ runtime linked in).
# Usage: footprint.sh OBJDUMP STRIP PROGRAM WORKDIR
set -u
objdump="$1"
strip="$2"
program="$3"
work="$4"
data_limit=$((100 * 1024))
file_limit=$((2 * 1024 * 1024))

# "objdump -h": Idx Name Size VMA LMA File-offset Align, sizes in hex.
data_hex="$("$objdump" -h "$program" | awk '$2 == ".data" { print $3; exit }')"
if [ -z "$data_hex" ]; then
    echo "no .data section in $program"
    exit 1
fi
data=$((16#$data_hex))

mkdir -p "$work"
stripped="$work/$(basename "$program").stripped"
rm -f "$stripped"
"$strip" -o "$stripped" "$program" || { echo "strip failed"; exit 1; }
size=$(stat -c %s "$stripped")

echo "$(basename "$program"): .data $data bytes (limit $data_limit), stripped $size bytes (limit $file_limit)"
status=0
[ "$data" -lt "$data_limit" ] || { echo ".data is too large"; status=1; }
[ "$size" -lt "$file_limit" ] || { echo "the stripped program is too large"; status=1; }
exit $status
