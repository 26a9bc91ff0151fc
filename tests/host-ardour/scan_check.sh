#!/bin/bash
# usage: scan_check.sh PLUGIN.so key=value ...
# Runs Ardour's own VST scanner on a copy of the plug-in and compares the fields of the
# <VST2Info> line it prints (id name creator category n_inputs n_outputs n_midi_inputs
# n_midi_outputs is_instrument has_editor ...) with the expected values.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 PLUGIN.so key=value ..." >&2; exit 2; }
scanner=/usr/lib/ardour7/ardour-vst-scanner
[ -x "$scanner" ] || { echo "FAIL: $scanner not found (install Debian's ardour)"; exit 1; }
[ -f "$1" ] || { echo "FAIL: no plug-in at $1"; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/corvadel-scan.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home"
# What CI has: no X display.
unset DISPLAY
# The scanner wants an absolute path; a private HOME keeps its cache out of the user's.
cp "$1" "$tmp/Corvadel.so"
shift

rc=0
out=$(HOME=$tmp/home LD_LIBRARY_PATH=/usr/lib/ardour7 timeout -k 10 60 "$scanner" -v -f "$tmp/Corvadel.so" </dev/null 2>&1) || rc=$?
if [ $rc -ne 0 ]; then
  echo "$out"
  echo "FAIL: ardour-vst-scanner exited with status $rc$([ $rc -eq 124 ] && echo ' (timed out after 60 s)')"
  exit 1
fi
if [ "$(grep -c '<VST2Info ' <<<"$out")" -ne 1 ]; then
  echo "$out"
  echo "FAIL: expected one <VST2Info> line from the scanner"
  exit 1
fi
line=$(grep -o '<VST2Info [^>]*>' <<<"$out")
echo "$line"

failed=0
for kv in "$@"; do
  key=${kv%%=*}; want=${kv#*=}
  if ! grep -q " $key=\"" <<<"$line"; then
    echo "FAIL $key: missing, want '$want'"; failed=1; continue
  fi
  got=$(sed -n "s/.* $key=\"\([^\"]*\)\".*/\1/p" <<<"$line")
  if [ "$got" = "$want" ]; then
    echo "ok   $key=$got"
  else
    echo "FAIL $key: got '$got', want '$want'"; failed=1
  fi
done
[ $failed -eq 0 ] && echo "PASS" || echo "FAIL: the scanner reports a field that differs"
exit $failed
