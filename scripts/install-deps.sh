#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need, when any is missing.
set -euo pipefail
PACKAGES=(
  build-essential cmake make pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc libgl-dev
  googletest libgtest-dev libgmock-dev
  unixodbc unixodbc-dev libsqliteodbc sqlite3 libsqlite3-dev libxml2-dev
  xvfb xauth
)
# `make fuzz` alone needs clang and its libFuzzer runtime.
[ "${1:-}" = --fuzz ] && PACKAGES+=(clang libclang-rt-dev)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
