#!/usr/bin/env bash
# The native and the 32-bit engine must agree to the last bit.
set -u
native="$1"
emulator="$2"
windows="$3"
a="$(mktemp)"; b="$(mktemp)"
trap 'rm -f "$a" "$b"' EXIT
"$native" > "$a" || { echo "native digest failed"; exit 1; }
"$emulator" "$windows" | tr -d '\r' > "$b" || { echo "32-bit digest failed"; exit 1; }
lines=$(wc -l < "$a")
if [ "$lines" -lt 1000 ]; then echo "native digest too short ($lines lines)"; exit 1; fi
if ! diff -q "$a" "$b" >/dev/null; then
    echo "native and 32-bit builds differ:"
    diff "$a" "$b" | head -20
    exit 1
fi
echo "native and 32-bit builds agree on all $lines lines"
