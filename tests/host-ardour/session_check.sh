#!/bin/bash
# usage: session_check.sh PLUGIN [vst2|vst3|lv2]
# PLUGIN is Corvadel.so (vst2, the default), Corvadel.vst3 or Corvadel.lv2.
# Corvadel in headless Ardour sessions: pedal presses step the chords of a session's stored grid,
# again after Ardour saved and reloaded the session, and the state chunk survives both byte for
# byte, each session in a new Ardour process. Details in session.lua.
# CORVADEL_KEEP_TMP=1 keeps the session folder for a look after a failure.
set -euo pipefail

here=$(dirname "$(readlink -f "$0")")
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 PLUGIN [vst2|vst3|lv2]" >&2; exit 2; }
plugin=$(readlink -f "$1")
format=${2:-vst2}
[ -e "$plugin" ] || { echo "FAIL: no plug-in at $1"; exit 1; }
case $format in
  vst2) scanner=/usr/lib/ardour7/ardour-vst-scanner ;;
  vst3) scanner=/usr/lib/ardour7/ardour-vst3-scanner ;;
  lv2)  scanner=$(command -v ardour7-lua || true) ;;  # LV2 needs no scan
  *) echo "usage: $0 PLUGIN [vst2|vst3|lv2]" >&2; exit 2 ;;
esac
for tool in "$scanner" "$(command -v ardour7-lua || true)"; do
  [ -n "$tool" ] && [ -x "$tool" ] || { echo "FAIL: Ardour 7 (ardour-vst-scanner, ardour7-lua) is not installed"; exit 1; }
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/corvadel-ardour.XXXXXX")
trap '[ -n "${CORVADEL_KEEP_TMP:-}" ] && echo "kept $tmp" || rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home/.config/ardour7/scripts" "$tmp/vst"
cp "$here"/dsp/*.lua "$tmp/home/.config/ardour7/scripts/"
case $format in
  vst2) installed=$tmp/vst/Corvadel.so ;;
  vst3) installed=$tmp/vst/Corvadel.vst3 ;;
  lv2)  installed=$tmp/vst/Corvadel.lv2 ;;
esac
cp -r "$plugin" "$installed"
# Ardour's scan cache ignores a plug-in file written within the second of the scan.
find "$installed" -exec touch -d "@$(( $(date +%s) - 2 ))" {} +

export HOME=$tmp/home LXVST_PATH=$tmp/vst VST3_PATH=$tmp/vst LV2_PATH=$tmp/vst:/usr/lib/lv2 CORVADEL_FORMAT=$format
# What CI has: no X display.
unset DISPLAY

# The Lua session only knows VST plug-ins from the scan cache, which takes the absolute path.
if [ "$format" != lv2 ] && ! LD_LIBRARY_PATH=/usr/lib/ardour7 timeout -k 10 60 "$scanner" -q -f "$installed" </dev/null; then
  echo "FAIL: Ardour's scanner failed on the plug-in"; exit 1
fi

run () {
  echo "=== ardour7-lua session.lua, $format, mode $1: $2"
  local rc=0
  CORVADEL_MODE=$1 CORVADEL_TEST_DIR=$here CORVADEL_SESSION_DIR=$tmp/session \
    timeout -k 10 60 ardour7-lua "$here/session.lua" </dev/null || rc=$?
  if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then echo "FAIL: Ardour did not finish mode $1 within 60 s"; fi
  if [ $rc -ne 0 ]; then echo "FAIL: mode $1, $2 (exit status $rc)"; exit 1; fi
}

run play "a new session, the plug-in without a grid"
run reload "the session with the known chunk written into it"
run reload "the session as Ardour saved it after the previous run"
echo "PASS"
