#!/bin/sh
# Runs one Windows test program under wine: the command ctest runs for each wine test of the
# Windows builds.
#
#   run-under-wine.sh BITS PREFIX SECONDS MODE [PROGRAM [ARGUMENTS...]]
#
# BITS is 64 or 32, PREFIX the wine prefix (kept in the build folder), SECONDS the time limit of
# the whole run. MODE "plain" runs without a window system, "display" under a virtual X server of
# its own, and "prepare" (no program) creates the prefix. A 32-bit run on a machine that cannot
# run 32-bit programs is skipped with exit status 77, saying why.
set -u
bits=$1 prefix=$2 seconds=$3 mode=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)

if [ "$bits" = 64 ]; then
  loader=/usr/lib/wine/wine64
else
  loader=/usr/lib/wine/wine
  if ! reason=$("$here/../../scripts/can-run-32bit.sh"); then
    echo "SKIPPED: the 32-bit Windows plug-ins were not run: $reason (wine32 needs a kernel that runs 32-bit programs)"
    exit 77
  fi
  if [ ! -x "$loader" ]; then
    echo "SKIPPED: the 32-bit Windows plug-ins were not run: wine32 is not installed (scripts/install-deps.sh test installs it where the package archive allows)"
    exit 77
  fi
fi
if [ ! -x "$loader" ]; then
  echo "FAILED: $loader is missing; scripts/install-deps.sh test installs it"
  exit 1
fi
export WINESERVER="$(dirname "$loader")/wineserver"
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No prompts to install Mono or Gecko: the tests need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$prefix"

status=0
case $mode in
  prepare)
    # A crash must end the test program, not wait for someone to close wine's crash dialog.
    timeout -k 10 "$seconds" sh -c '
      "$1" wineboot --init && "$1" reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f' \
      sh "$loader" > "$prefix.log" 2>&1 || { status=$?; cat "$prefix.log"; }
    ;;
  plain)
    env -u DISPLAY -u WAYLAND_DISPLAY timeout -k 10 "$seconds" "$loader" "$@" || status=$?
    ;;
  display)
    # The prefix's wine processes are stopped while the X server still runs. The display numbers
    # are searched from 300, away from the Linux tests' servers, which may start at the same time.
    timeout -k 10 "$seconds" xvfb-run -a -n 300 -s "-screen 0 1280x1024x24 -nolisten tcp" \
      sh -c '"$0" "$@"; s=$?; "$WINESERVER" -k 2> /dev/null; exit $s' "$loader" "$@" || status=$?
    ;;
  *)
    echo "unknown mode $mode"
    exit 2
    ;;
esac

# Nothing of this prefix stays behind for the next test, nor holds ctest's output open.
timeout 30 "$WINESERVER" -k 2> /dev/null
timeout 30 "$WINESERVER" -w 2> /dev/null
exit $status
