#!/usr/bin/env bash
# Installs the Debian packages Brindle needs to build, run and test it. Only the
# missing ones are installed (through sudo when not root).
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libwxgtk3.2-dev libwxgtk-webview3.2-dev libxml2-dev libxslt1-dev libcurl4-openssl-dev
  libpcre2-dev # the script engine's regular expressions (UTF-16 matching)
  libgtest-dev googletest libxml2-utils
  xvfb xauth python3-pyftpdlib fonts-dejavu-core
  python3-openssl # pyftpdlib's TLS handler, for the FTPS tests
  fonts-wqy-microhei # Chinese and other CJK glyphs: the library's own texts and wide characters
  libglib2.0-dev shared-mime-info adwaita-icon-theme # GIO: file types, their descriptions and icons in the local file list
  poppler-utils # pdftotext: the print tests read back the PDF they print
  libgl1-mesa-dri # the browser preview's web view draws through Mesa when there is no GPU driver
  # real XML files that bench/corpus/make_corpus.sh gathers for the corpus test
  docbook-xsl docbook-xml docbook5-xml fontconfig-config dbus-session-bus-common dbus-system-bus-common
  iso-codes gsettings-desktop-schemas xorg-sgml-doctools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Brindle setup: these packages are missing and there is no sudo: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "Brindle setup: installing ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
