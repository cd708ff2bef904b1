#!/usr/bin/env bash
# Installs every Debian 12 package the build, the program and the tests need.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-translations-l10n libgl-dev libcups2-dev libsqlite3-dev libpq-dev postgresql
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev clang-tidy cppcheck
  cups cups-client cups-bsd cups-ipp-utils cups-filters
  poppler-utils fonts-ipafont-gothic fonts-ipafont-mincho jq
  xvfb x11-apps imagemagick xdg-utils xdotool
  dpkg-dev file lintian desktop-file-utils appstream
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
