#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the program needs.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config git
  qt6-base-dev qt6-serialport-dev qt6-multimedia-dev qt6-charts-dev libqt6opengl6-dev
  libqt6sql6-sqlite libqt6sql6-psql
  libzint-dev libxlsxwriter-dev libsodium-dev
  qt6-translations-l10n xvfb xauth fonts-wqy-zenhei sqlite3 libsqlite3-dev poppler-utils
  libreoffice-calc-nogui python3 python3-uno
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
