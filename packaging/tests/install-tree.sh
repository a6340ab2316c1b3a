#!/usr/bin/env bash
# `cmake --install` into a temporary prefix gives a tree that runs from wherever
# it is moved, and whose file type and icons the desktop finds.
# Usage: install-tree.sh BUILD_DIR SAMPLES_DIR
set -euo pipefail
source "$(dirname "$0")/common.sh"

cmake --install "$build" --prefix "$scratch/first" >/dev/null
# Moving the tree proves that nothing in it names the prefix it was installed to.
mv "$scratch/first" "$scratch/moved"
prefix=$scratch/moved

check_tree "$prefix" "$samples"
check_icons "$prefix"
check_file_type "$prefix/share"
for f in share/applications/org.tavlo.Tavlo.desktop share/metainfo/org.tavlo.Tavlo.metainfo.xml \
    share/icons/hicolor/scalable/apps/org.tavlo.Tavlo.svg \
    share/icons/hicolor/scalable/mimetypes/application-x-tavlo.svg \
    share/man/man1/Tavlo.1.gz share/bash-completion/completions/Tavlo share/doc/tavlo/copyright; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
done
exit $failed
