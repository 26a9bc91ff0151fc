#!/bin/sh
# The plug-in's main job from the command line: installs what is needed, builds Corvadel.so and
# corvadel-play, and plays the demo chord sequence through the plug-in, printing the MIDI it sends.
# It builds in a folder of its own (build/play), without the tests: test.sh's build/ keeps its
# own configuration, and its test programs are never left older than its plug-in.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build/play}
"$here/scripts/install-deps.sh"
BUILD_DIR=$build_dir "$here/scripts/build.sh" -DCORVADEL_BUILD_TESTS=OFF
exec "$build_dir/tools/corvadel-play" --plugin "$build_dir/Corvadel.so" "$@"
