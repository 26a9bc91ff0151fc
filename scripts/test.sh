#!/bin/sh
# Installs what is needed, builds everything and runs every test, the display tests under a
# virtual X server and the real-host tests in Ardour among them; then cross-builds Corvadel.dll and
# Corvadel.vst3 for 64-bit and 32-bit Windows and tests them under wine.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
started=$(date +%s)
# Prints a step's heading with the minutes and seconds since the command started.
step() {
  elapsed=$(($(date +%s) - started))
  printf '\n== %s (at %dm%02ds)\n' "$1" $((elapsed / 60)) $((elapsed % 60))
}

step "Installing what is missing"
"$here/scripts/install-deps.sh" test
step "Building for Linux"
BUILD_DIR=$build_dir "$here/scripts/build.sh" -DCORVADEL_BUILD_TESTS=ON
step "Building for Windows"
BUILD_DIR=$build_dir "$here/scripts/build-windows.sh" x86_64 i686 -- -DCORVADEL_BUILD_TESTS=ON

failed=""

# The Windows tests take turns in their wine prefix and mostly wait on wine: they run beside the
# Linux tests, and their output follows the Linux tests'.
windows_log=$build_dir/windows-x86_64/test-output.txt
(cd "$build_dir/windows-x86_64" && ctest --output-on-failure --timeout 900 -j 2 > "$windows_log" 2>&1) &
windows_tests=$!

step "Linux: Corvadel.so, Corvadel.vst3, Corvadel.lv2"
(cd "$build_dir" && ctest --output-on-failure --timeout 900 -j 2) || failed="$failed linux"

step "Windows, 64-bit: Corvadel.dll and Corvadel.vst3 under wine64 (run beside the Linux tests)"
wait "$windows_tests" || failed="$failed windows-x86_64"
cat "$windows_log"

step "Windows, 32-bit: Corvadel.dll and Corvadel.vst3"
if reason=$("$here/scripts/can-run-32bit.sh"); then
  if [ -x /usr/lib/wine/wine ]; then
    echo "This machine runs 32-bit programs: the host scenarios run under wine32."
  else
    echo "SKIPPED: the 32-bit plug-ins' host scenarios under wine32 do not run here: wine32 is not installed."
  fi
else
  echo "SKIPPED: the 32-bit plug-ins' host scenarios under wine32 do not run here: $reason."
  echo "Checked without running them: the DLL's and the bundle's exports and imports, the bundle's layout, and the record layout at compile time (the test programs that would run under wine32 are not built)."
fi
(cd "$build_dir/windows-i686" && ctest --output-on-failure --timeout 900 -j 2) || failed="$failed windows-i686"

step "Benchmark: figures to compare, not a test"
# The editor's figures need a display: a virtual one of the benchmark's own. Each figure moves with
# the machine, its load and the process's memory layout, so one over its bound is a warning, not a
# failure; the figures are kept in the build folder, with the previous run's beside them.
figures=$build_dir/benchmark-figures.txt
[ -f "$figures" ] && mv "$figures" "$build_dir/benchmark-figures.previous.txt"
timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    "$build_dir/tests/audio_path_benchmark" --figures "$figures" "$build_dir/Corvadel.so" \
  || failed="$failed benchmark"
echo "(figures written to $figures)"

step "Finished"
if [ -n "$failed" ]; then
  echo "tests failed:$failed"
  exit 1
fi
