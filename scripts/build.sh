#!/bin/sh
# Configures and builds Corvadel in build/ (or the folder given in BUILD_DIR); arguments go to
# CMake's configure step.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
mkdir -p "$build_dir"

cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$build_dir/configure.log" 2>&1 \
  || { cat "$build_dir/configure.log"; exit 1; }
cmake --build "$build_dir" -j "$(nproc)"
