#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need, only those that are missing.
set -euo pipefail
want=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libpq-dev libsqlite3-dev
      libgtest-dev libgmock-dev libbenchmark-dev libxlsxwriter-dev zlib1g-dev fonts-wqy-microhei qt6-translations-l10n
      postgresql sqlite3 zbar-tools poppler-utils python3-openpyxl "$@")
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
