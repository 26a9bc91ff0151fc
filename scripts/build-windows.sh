#!/bin/sh
# Cross-builds the Windows plug-ins with Debian's mingw-w64 compilers: Corvadel.dll (VST 2) and the
# Corvadel.vst3 bundle beside it, each target in a folder of its own under the build folder
# (build/windows-x86_64, build/windows-i686, or under BUILD_DIR). Targets: x86_64, i686 (default:
# both). Arguments after "--" go to CMake's configure step (for instance -DCORVADEL_BUILD_TESTS=ON).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}

targets=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  targets="$targets $1"
  shift
done
[ $# -gt 0 ] && shift
[ -n "$targets" ] || targets="x86_64 i686"

for target in $targets; do
  case $target in
    x86_64|i686) ;;
    *) echo "unknown Windows target $target (x86_64 or i686)" >&2; exit 2 ;;
  esac
  dir=$build_dir/windows-$target
  mkdir -p "$dir"
  cmake -S "$here" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchains/mingw-w64-$target.cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@" > "$dir/configure.log" 2>&1 \
    || { cat "$dir/configure.log"; exit 1; }
done

# The targets build side by side, each line of output marked with its target: one build's last
# long compilations and links leave processors idle that the other's fill.
for target in $targets; do
  dir=$build_dir/windows-$target
  rm -f "$dir/build-status"
  { cmake --build "$dir" -j "$(nproc)" 2>&1; echo $? > "$dir/build-status"; } | sed "s/^/[$target] /" &
done
wait

failed=0
for target in $targets; do
  dir=$build_dir/windows-$target
  if [ "$(cat "$dir/build-status" 2> /dev/null)" = 0 ]; then
    echo "built $dir/Corvadel.dll and $dir/Corvadel.vst3"
  else
    echo "building for $target failed (its lines above are marked [$target])" >&2
    failed=1
  fi
done
exit $failed
