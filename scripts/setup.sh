#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only those that are missing.
# Quiet when everything is present. Runs apt through sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev qt6-svg-dev qt6-httpserver-dev qt6-websockets-dev libqcustomplot-dev libhidapi-dev
  libmosquitto-dev mosquitto mosquitto-clients openssl libcups2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  dpkg-dev file help2man desktop-file-utils appstream
  poppler-utils dbus-daemon
  chromium chromium-driver python3-selenium
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
