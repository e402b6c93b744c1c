#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: does nothing when all are present.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libxcb1-dev libxcb-keysyms1-dev libx11-dev
  libjpeg62-turbo-dev zlib1g-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  libjpeg-turbo-progs fonts-dejavu-core
  xvfb xauth xdotool xclip x11-utils x11-apps trayer dbus dbus-x11 python3
  clang
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
