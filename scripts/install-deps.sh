#!/usr/bin/env bash
# Installs the Debian 12 packages Tessaly needs to build, run and test.
# Idempotent: packages already present are skipped, and apt-get update runs at most once.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  libsqlcipher-dev sqlcipher
  libjpeg62-turbo-dev libjpeg-turbo-progs
  libgl-dev
  xvfb xauth x11-utils xdotool imagemagick libx11-dev libxtst-dev
  fonts-wqy-zenhei fontconfig
  python3-xlrd
  clang libclang-rt-14-dev clang-format
  python3
  python3-vobject
  libwmf-bin fonts-urw-base35
  unicode-data libicu-dev libbz2-dev
  desktop-file-utils appstream xdg-utils
  libfreexl-dev libzip-dev libxlsxwriter-dev python3-xlwt python3-openpyxl
  python3-lunardate python3-icalendar
  dunst dbus-daemon dbus-bin dex
  libqrencode-dev zbar-tools
  libmimalloc-dev
  qtkeychain-qt6-dev
  radicale apache2-utils openssl eatmydata gnome-keyring
  fonts-hanazono poppler-utils cups cups-daemon cups-client printer-driver-cups-pdf
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
