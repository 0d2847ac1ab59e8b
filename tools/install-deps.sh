#!/usr/bin/env bash
# Installs the Debian packages and the npm test packages that Skinwright needs
# to build, run and test; package names given as arguments are installed
# with them (tools/fuzz.sh adds clang's). Safe to run again: it installs only
# what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libtinyxml-dev libjsoncpp-dev
  libcairo2-dev libpango1.0-dev fonts-wqy-microhei
  libpng-dev libturbojpeg0-dev libzip-dev
  libboost1.81-dev libcurl4-openssl-dev libcli11-dev
  libjs-jquery adb zip chromium
  dpkg-dev file desktop-file-utils
  "$@"
)
# A machine may carry its own Node.js with npm inside (not Debian's, which
# conflicts with it); Debian's pair is installed only when no npm is found.
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The browser tests drive Debian's Chromium through playwright-core; the
# versions are pinned by package-lock.json.
if [ -f package-lock.json ]; then
  if [ ! -d node_modules/playwright-core ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
    npm ci --no-audit --no-fund --loglevel=error
  fi
fi
