#!/usr/bin/env bash
# Installs the Debian packages Tavlo needs to build, test and run.
# Idempotent: returns at once when everything is present.
set -euo pipefail

PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev libqt6opengl6-dev qt6-translations-l10n libx11-dev qt6-svg-dev
    libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
    libfreetype-dev libfontconfig-dev fontconfig fonts-wqy-zenhei fonts-liberation2 fonts-dejavu-core
    libjpeg62-turbo-dev
    libzip-dev libmd4c-dev
    libgtest-dev libgmock-dev xvfb xauth poppler-utils
    libbenchmark-dev
    clang libclang-rt-14-dev
    imagemagick x11-apps xclip
    desktop-file-utils appstream libxml2-utils lintian librsvg2-bin shared-mime-info
    xdg-utils libfile-mimeinfo-perl libglib2.0-bin bash-completion man-db file dpkg-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
