#!/bin/sh
# Installs what is needed, builds everything and runs every test, the display tests under a
# virtual X server and the real-host tests in Ardour among them.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}

"$here/scripts/install-deps.sh" test
BUILD_DIR=$build_dir "$here/scripts/build.sh" -DCORVADEL_BUILD_TESTS=ON

cd "$build_dir"
ctest --output-on-failure --timeout 900 -j 2

echo
"$build_dir/tests/audio_path_benchmark" "$build_dir/Corvadel.so"
