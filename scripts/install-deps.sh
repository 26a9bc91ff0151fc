#!/bin/sh
# Installs what building (and, with "test", testing) Corvadel needs, from Debian's packages.
# Safe to run again: packages already present are not touched. Never prompts.
set -eu

build_packages="build-essential cmake pkg-config ccache juce-modules-source libjack-jackd2-dev
  libfreetype-dev libpng-dev libjpeg-dev zlib1g-dev
  libx11-dev libxext-dev libxinerama-dev libxrandr-dev libxrender-dev libxcursor-dev
  libgtest-dev fonts-dejavu-core"
test_packages="g++-multilib xvfb xauth libxtst-dev ardour lilv-utils lv2-dev sordi jalv jackd2 python3-jack-client
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev mingw-w64-tools wine64"
# The 32-bit DLL runs under wine32, which needs the i386 architecture and a kernel that runs
# 32-bit programs; installed only where scripts/can-run-32bit.sh finds such a kernel.
wine32_packages="wine32:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386"

packages=$build_packages
if [ "${1:-}" = "test" ]; then
  packages="$packages $test_packages"
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif [ -t 0 ]; then
  # Someone at a terminal can answer sudo's password prompt.
  as_root="sudo"
else
  # No one can answer a prompt: sudo fails at once instead of waiting for a password.
  as_root="sudo -n"
fi
export DEBIAN_FRONTEND=noninteractive

# A mirror in the middle of a sync fails one index or another; the indexes that did arrive are
# enough for most installs, so a failed update is retried, then reported and passed over.
update_indexes() {
  for attempt in 1 2 3; do
    if $as_root apt-get update; then
      return 0
    fi
    sleep $((attempt * 5))
  done
  echo "apt-get update failed three times; going on with the package indexes that arrived" >&2
}

# Installs those of the given packages that are not installed yet.
install_missing() {
  missing=""
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $p"
    fi
  done

  if [ -z "$missing" ]; then
    return 0
  fi

  echo "Installing:$missing"
  if ! $as_root apt-get install -y --no-install-recommends $missing; then
    update_indexes
    $as_root apt-get install -y --no-install-recommends $missing
  fi
}

install_missing $packages

if [ "${1:-}" = "test" ] && "$(dirname "$0")/can-run-32bit.sh" > /dev/null; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $as_root dpkg --add-architecture i386
    update_indexes
  fi
  # Without wine32 the 32-bit DLL's host scenarios are skipped, and say so; everything else can
  # still be built and tested.
  if ! install_missing $wine32_packages; then
    echo "warning: wine32 could not be installed; the 32-bit Windows tests will be skipped" >&2
  fi
fi
