#!/bin/bash
# usage: scan_check.sh PLUGIN key=value ...
# Runs Ardour's own scanner for the plug-in's format on a copy of it (Corvadel.so: the VST
# scanner and its <VST2Info> line; Corvadel.vst3: the VST 3 scanner and its <VST3Info> line) and
# compares the fields of the line it prints (name, category, n_inputs, n_midi_outputs, ...) with
# the expected values.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 PLUGIN.so|BUNDLE.vst3 key=value ..." >&2; exit 2; }
case $1 in
  *.vst3) scanner=/usr/lib/ardour7/ardour-vst3-scanner info=VST3Info copy=Corvadel.vst3 ;;
  *) scanner=/usr/lib/ardour7/ardour-vst-scanner info=VST2Info copy=Corvadel.so ;;
esac
[ -x "$scanner" ] || { echo "FAIL: $scanner not found (install Debian's ardour)"; exit 1; }
[ -e "$1" ] || { echo "FAIL: no plug-in at $1"; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/corvadel-scan.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home"
# What CI has: no X display.
unset DISPLAY
# The scanner wants an absolute path; a private HOME keeps its cache out of the user's.
cp -r "$1" "$tmp/$copy"
shift

rc=0
out=$(HOME=$tmp/home LD_LIBRARY_PATH=/usr/lib/ardour7 timeout -k 10 60 "$scanner" -v -f "$tmp/$copy" </dev/null 2>&1) || rc=$?
if [ $rc -ne 0 ]; then
  echo "$out"
  echo "FAIL: $(basename "$scanner") exited with status $rc$([ $rc -eq 124 ] && echo ' (timed out after 60 s)')"
  exit 1
fi
if [ "$(grep -c "<$info " <<<"$out")" -ne 1 ]; then
  echo "$out"
  echo "FAIL: expected one <$info> line from the scanner"
  exit 1
fi
line=$(grep -o "<$info [^>]*>" <<<"$out")
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
