#!/bin/sh
# The plug-in's main job from the command line: installs what is needed, builds Corvadel.so and
# corvadel-play, and plays the demo chord sequence through the plug-in, printing the MIDI it sends.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
BUILD_DIR=${BUILD_DIR:-$here/build} "$here/scripts/build.sh" -DCORVADEL_BUILD_TESTS=OFF
build_dir=${BUILD_DIR:-$here/build}
exec "$build_dir/tools/corvadel-play" --plugin "$build_dir/Corvadel.so" "$@"
