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
    plantuml
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

# Node runs the outside readers the interchange tests check our writers with;
# any Node 18 or later will do, Debian's when none is there.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    missing+=(nodejs npm)
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The outside readers themselves (an XMind model library, mermaid and jsdom),
# pinned by the lock file, in a folder of their own outside the repository.
# Installed again only when the lock file changes.
READERS_DIR="${TAVLO_OUTSIDE_READERS:-/opt/tavlo-outside-readers}"
READERS_SRC="$(cd "$(dirname "$0")" && pwd)/outside-readers"
if ! cmp -s "$READERS_SRC/package-lock.json" "$READERS_DIR/package-lock.json" ||
   [ ! -d "$READERS_DIR/node_modules" ]; then
    echo "install-deps: installing the outside readers into $READERS_DIR"
    $SUDO mkdir -p "$READERS_DIR"
    $SUDO cp "$READERS_SRC/package.json" "$READERS_SRC/package-lock.json" "$READERS_DIR/"
    (cd "$READERS_DIR" && $SUDO npm ci --no-audit --no-fund --loglevel=error)
fi
# The scripts that drive them run from there, where Node finds the packages.
if ! cmp -s <(cat "$READERS_SRC"/*.mjs) <(cat "$READERS_DIR"/*.mjs 2>/dev/null); then
    $SUDO cp "$READERS_SRC"/*.mjs "$READERS_DIR/"
fi
