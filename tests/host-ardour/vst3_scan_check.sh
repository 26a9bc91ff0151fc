#!/bin/bash
# usage: vst3_scan_check.sh Corvadel.vst3 key=value ...
# Runs Ardour's own VST 3 scanner on a copy of the bundle and compares the fields of the
# <VST3Info> line it prints (uid name vendor category version n_inputs n_outputs n_midi_inputs
# n_midi_outputs ...) with the expected values.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 BUNDLE.vst3 key=value ..." >&2; exit 2; }
scanner=/usr/lib/ardour7/ardour-vst3-scanner
[ -x "$scanner" ] || { echo "FAIL: $scanner not found (install Debian's ardour)"; exit 1; }
[ -d "$1" ] || { echo "FAIL: no bundle at $1"; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/corvadel-vst3-scan.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home"
# What CI has: no X display.
unset DISPLAY
# The scanner wants an absolute path; a private HOME keeps its cache out of the user's.
cp -r "$1" "$tmp/Corvadel.vst3"
shift

rc=0
out=$(HOME=$tmp/home LD_LIBRARY_PATH=/usr/lib/ardour7 timeout -k 10 60 "$scanner" -v -f "$tmp/Corvadel.vst3" </dev/null 2>&1) || rc=$?
if [ $rc -ne 0 ]; then
  echo "$out"
  echo "FAIL: ardour-vst3-scanner exited with status $rc$([ $rc -eq 124 ] && echo ' (timed out after 60 s)')"
  exit 1
fi
if [ "$(grep -c '<VST3Info ' <<<"$out")" -ne 1 ]; then
  echo "$out"
  echo "FAIL: expected one <VST3Info> line from the scanner"
  exit 1
fi
line=$(grep -o '<VST3Info [^>]*>' <<<"$out")
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
