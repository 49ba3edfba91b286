#!/usr/bin/env bash
# Installs every Debian package the editor, its tests and its benchmarks need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  clang libclang-rt-dev  # the fuzz target of the document readers (libFuzzer)
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev libgl-dev
  zlib1g-dev libpng-dev libjpeg-dev
  fonts-liberation2 fonts-dejavu-core fontconfig
  xvfb xauth x11-utils imagemagick
  libx11-dev      # the status bar reads the Num, Caps and Scroll Lock indicators through Xkb
  poppler-utils qpdf libtiff-tools pngcheck gifsicle
  libemf2svg-dev  # the RTF reader draws enhanced metafiles in documents through it
  emf2svg         # emf2svg-conv: the export tests open our EMF page files with it
  giflib-tools    # giftext: the export tests list GIF blocks with it
  libtiff-dev     # the export tests read TIFF files back with libtiff
  libgif-dev      # the export tests read animated GIF files back with giflib
  cups cups-client printer-driver-cups-pdf
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
