#!/bin/sh
# Installs what building (and, with "test", testing) Corvadel needs, from Debian's packages.
# Safe to run again: packages already present are not touched. Never prompts.
set -eu

build_packages="build-essential cmake pkg-config ccache juce-modules-source
  libfreetype-dev libpng-dev libjpeg-dev zlib1g-dev
  libx11-dev libxext-dev libxinerama-dev libxrandr-dev libxrender-dev libxcursor-dev
  libgtest-dev fonts-dejavu-core"
test_packages="g++-multilib xvfb xauth libxtst-dev ardour"

packages=$build_packages
if [ "${1:-}" = "test" ]; then
  packages="$packages $test_packages"
fi

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=""
else
  as_root="sudo -n"
fi

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
if ! $as_root apt-get install -y --no-install-recommends $missing; then
  $as_root apt-get update
  $as_root apt-get install -y --no-install-recommends $missing
fi
