#!/usr/bin/env bash
# Installs the Debian packages that Tessaly builds and runs with.
# Idempotent: when every package is present it only checks and exits.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-pdf-dev qt6-serialport-dev qt6-svg-dev qt6-tools-dev
  libsqlite3-dev sqlite3
  libxlsxwriter-dev
  libfreexl-dev libgsf-1-dev libzip-dev
  libical-dev
  libhunspell-dev hunspell-en-us
  libcurl4-openssl-dev libssl-dev
  libbenchmark-dev
  desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
