#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need.
# Idempotent: does nothing when every package is present; refreshes the
# package lists only when something has to be installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qtbase5-dev libqt5sql5-sqlite libqt5serialport5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n
  zlib1g-dev libminizip-dev libdeflate-dev unzip
  libsoxr-dev
  libgtest-dev libgmock-dev
  xvfb xauth
  poppler-utils
  libzint-dev zbar-tools
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
