#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing.
# Usage: scripts/deps.sh [extra package...]
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libgumbo-dev
  python3 locales-all
  libcurl4-openssl-dev libssl-dev openssl python3-pyftpdlib
  zlib1g-dev curl
  # The feed reader that a test runs the plug-in under, the XML checker its feeds pass, and
  # the formatter the tree follows.
  newsboat libxml2-utils clang-format
  qt6-base-dev dpkg-dev
  # The running program: the desktop's UI font, the mono face that "Courier New" resolves
  # to, the opener behind View and the default viewer, Qt's Wayland platform, and the
  # certificate authorities that https downloads trust.
  fonts-dejavu-core fonts-liberation xdg-utils qt6-wayland ca-certificates
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q </dev/null
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi
