#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with; only
# what is missing, so that a prepared machine skips apt entirely.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev qt6-base-dev qt6-svg-dev
  qt6-image-formats-plugins libtiff-dev libpng-dev libjpeg-dev libopencv-imgproc-dev libtesseract-dev tesseract-ocr-eng fonts-dejavu-core
  fonts-dejavu-extra fonts-liberation fonts-freefont-ttf fonts-linuxlibertine fonts-open-sans fonts-roboto-unhinted
  parallel jq locales)
if [[ "${1:-}" == "--desktop" ]]; then
  packages+=(xvfb xdotool imagemagick)
fi
if [[ "${1:-}" == "--fuzz" ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $EUID -ne 0 ]] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

# A locale that writes numbers with a decimal comma, for the tests that
# show no number the program writes or reads depends on the locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
  sudo=""
  [[ $EUID -ne 0 ]] && sudo="sudo"
  $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen > /dev/null
  $sudo locale-gen > /dev/null
fi
