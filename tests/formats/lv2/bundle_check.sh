#!/bin/bash
# usage: bundle_check.sh Corvadel.lv2 URI
# The LV2 bundle as LV2's own tools read it: lv2info (lilv) lists the plug-in with its class,
# its MIDI atom ports and its X11 UI, and sord_validate finds the bundle's Turtle valid against
# the LV2 schemas Debian installs (with a control: a broken copy of the Turtle must fail).
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 BUNDLE.lv2 URI" >&2; exit 2; }
bundle=$(readlink -f "$1"); uri=$2
for tool in lv2info sord_validate; do
  command -v $tool >/dev/null || { echo "FAIL: $tool not installed (lilv-utils, sordi)"; exit 1; }
done
schemas=/usr/lib/lv2
[ -f $schemas/core.lv2/lv2core.ttl ] || { echo "FAIL: the LV2 schemas are not installed (lv2-dev)"; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/corvadel-lv2.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
cp -r "$bundle" "$tmp/Corvadel.lv2"

failed=0
expect () {  # expect DESCRIPTION GREP-PATTERN TEXT
  if grep -qzP "$2" <<<"$3"; then echo "ok   $1"; else echo "FAIL $1"; failed=1; fi
}

info=$(LV2_PATH=$tmp:$schemas timeout 60 lv2info "$uri" 2>&1) || { echo "$info"; echo "FAIL: lv2info"; exit 1; }
echo "$info"
expect "named Corvadel by Vantrelle" 'Name:\s+Corvadel\n[^\n]*\n\s*Author:\s+Vantrelle' "$info"
expect "an instrument" 'Class:\s+Instrument Plugin' "$info"
expect "an X11 UI in the bundle" 'UIs:\s*\n\s*\S+:UI\s*\n\s*Class:\s+http://lv2plug.in/ns/extensions/ui#X11UI' "$info"
expect "an atom input port" 'Type:\s+http://lv2plug.in/ns/ext/atom#AtomPort\s*\n\s*http://lv2plug.in/ns/lv2core#InputPort\s*\n\s*Symbol:\s+in\n' "$info"
expect "an atom output port" 'Type:\s+http://lv2plug.in/ns/ext/atom#AtomPort\s*\n\s*http://lv2plug.in/ns/lv2core#OutputPort\s*\n\s*Symbol:\s+out\n' "$info"

# lv2info does not list what an atom port carries: the ports' triples do.
triples=$(sordi -o ntriples "file://$tmp/Corvadel.lv2/dsp.ttl")
midi_port () {  # the blank node of the port with this symbol supports MIDI events
  local node
  node=$(grep -F '<http://lv2plug.in/ns/lv2core#symbol> "'"$1"'"' <<<"$triples" | cut -d' ' -f1)
  [ -n "$node" ] && grep -qF "$node <http://lv2plug.in/ns/ext/atom#supports> <http://lv2plug.in/ns/ext/midi#MidiEvent>" <<<"$triples"
}
for port in in out; do
  if midi_port $port; then echo "ok   atom port '$port' carries MIDI events"; else echo "FAIL atom port '$port' carries no MIDI events"; failed=1; fi
done
expect "two audio outputs" 'Symbol:\s+audio_out_1[\s\S]*Symbol:\s+audio_out_2' "$info"

validate () {
  find $schemas -name '*.ttl' ! -name 'lv2core.doap.ttl' -print0 | grep -z -v -e '/a-[^/]*\.lv2/' -e 'reasonablesynth' \
    | { xargs -0 timeout 120 sord_validate "$@" 2>&1 || true; } | tail -n 1
}
verdict=$(validate "$tmp"/Corvadel.lv2/*.ttl)
echo "sord_validate: $verdict"
expect "the bundle's Turtle validates against the LV2 schemas" '^Found 0 errors' "$verdict"

# Control: the same check finds a property used outside its domain.
sed 's/a lv2:InstrumentPlugin , doap:Project ;/a lv2:InstrumentPlugin ;/' "$tmp/Corvadel.lv2/dsp.ttl" > "$tmp/broken.ttl"
control=$(validate "$tmp/Corvadel.lv2/manifest.ttl" "$tmp/Corvadel.lv2/ui.ttl" "$tmp/broken.ttl")
echo "sord_validate, control with doap:Project taken out: $control"
expect "the control fails validation" '^Found [1-9][0-9]* errors' "$control"

[ $failed -eq 0 ] && echo "PASS" || echo "FAIL"
exit $failed
