#!/bin/bash
# usage: jalv_check.sh Corvadel.lv2 URI
# jalv, a real LV2 host, runs the plug-in as a client of a JACK server with the dummy backend,
# loading a state that holds a grid; a press sent into its MIDI input must come out of its MIDI
# output as the first column's note-ons, on channel 1, at the press's frame.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 BUNDLE.lv2 URI" >&2; exit 2; }
bundle=$(readlink -f "$1"); uri=$2
here=$(dirname "$(readlink -f "$0")")
for tool in jackd jalv jack_wait; do
  command -v $tool >/dev/null || { echo "FAIL: $tool not installed (jackd2, jalv)"; exit 1; }
done
/usr/bin/python3 -c 'import jack' 2>/dev/null || { echo "FAIL: python3-jack-client not installed"; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/corvadel-jalv.XXXXXX")
pids=()
cleanup () {
  exec 3>&- 2>/dev/null || true
  # jalv before the server it is a client of.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  # What JACK leaves behind of this test's own server would pile up over many runs.
  rm -f /dev/shm/jack_sem.*_"${JACK_DEFAULT_SERVER:-none}"_* 2>/dev/null || true
  [ -n "${CORVADEL_KEEP_TMP:-}" ] && echo "kept $tmp" || rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -p "$tmp/lv2" "$tmp/state"
cp -r "$bundle" "$tmp/lv2/Corvadel.lv2"
export LV2_PATH=$tmp/lv2:/usr/lib/lv2
# A server of this test's own, whatever else runs on the machine.
export JACK_DEFAULT_SERVER=corvadel-test-$$ JACK_NO_AUDIO_RESERVATION=1
unset DISPLAY

# The state: the plug-in's StateString property holding, in JUCE's base64, a grid whose first
# column is C major (60, 64, 67 at velocities 100, 90, 80) and whose second is A minor.
/usr/bin/python3 - "$uri" "$tmp/state" <<'PY'
import struct, sys
uri, folder = sys.argv[1], sys.argv[2]
columns = [{60: 100, 64: 90, 67: 80}, {57: 110, 60: 70, 64: 60}]
chunk = struct.pack("<ii", len(columns), 128)
for column in columns:
    for note in range(128):
        chunk += struct.pack("<BBBBi", 1 if note in column else 0, 0, 0, 0, column.get(note, 100))
alphabet = ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+"
acc, bits, text = 0, 0, []
for byte in chunk:
    acc |= byte << bits; bits += 8
    while bits >= 6:
        text.append(alphabet[acc & 63]); acc >>= 6; bits -= 6
if bits:
    text.append(alphabet[acc & 63])
prefixes = ("@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
            "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n@prefix state: <http://lv2plug.in/ns/ext/state#> .\n\n")
open(folder + "/manifest.ttl", "w").write(prefixes + "<state.ttl> a pset:Preset ;\n\tlv2:appliesTo <%s> ;\n\trdfs:seeAlso <state.ttl> .\n" % uri)
open(folder + "/state.ttl", "w").write(prefixes + "<>\n\ta pset:Preset ;\n\tlv2:appliesTo <%s> ;\n\tstate:state [\n\t\t<%s:StateString> \"%d.%s\"\n\t] .\n"
                                       % (uri, uri, len(chunk), "".join(text)))
PY

timeout 120 jackd --no-realtime -d dummy -r 48000 -p 256 > "$tmp/jackd.log" 2>&1 &
pids+=($!)
timeout 20 jack_wait -w -t 20 > /dev/null || { cat "$tmp/jackd.log"; echo "FAIL: the dummy JACK server did not start"; exit 1; }

# jalv reads commands from its standard input and ends when it closes: a pipe this script holds
# open until it ends.
mkfifo "$tmp/commands"
exec 3<>"$tmp/commands"
timeout 90 jalv -n corvadel -x -l "$tmp/state" "$uri" < "$tmp/commands" > "$tmp/jalv.log" 2>&1 &
pids+=($!)

out=$(timeout 60 /usr/bin/python3 "$here/jalv_press.py" corvadel 2) || { echo "$out"; cat "$tmp/jalv.log"; echo "FAIL: the JACK clients around jalv"; exit 1; }
echo "$out"
press=$(sed -n 's/^press //p' <<<"$out")
[ "$press" != none ] || { echo "FAIL: no press was sent"; exit 1; }
got=$(grep -v '^press ' <<<"$out" || true)
want=$(printf '%s 90 3c 64\n%s 90 40 5a\n%s 90 43 50' "$press" "$press" "$press")
if [ "$got" = "$want" ]; then
  echo "ok   the press sent the first column's note-ons on channel 1 at the press's frame, and nothing else"
  echo "PASS"
else
  echo "want:"; echo "$want"; echo "jalv's output:"; cat "$tmp/jalv.log"
  echo "FAIL: jalv's MIDI output differs"
  exit 1
fi
