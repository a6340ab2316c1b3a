#!/usr/bin/env bash
# The Debian package: its name and control fields, what it holds, and that the
# program unpacked from it runs by itself.
# Usage: deb.sh BUILD_DIR SAMPLES_DIR
set -euo pipefail
source "$(dirname "$0")/common.sh"

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; exit 1; }
deb=$scratch/out/tavlo_2.03-1_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { fail "no $deb: $(ls "$scratch/out")"; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tavlo ] || fail "Package: $(field Package)"
[ "$(field Version)" = 2.03-1 ] || fail "Version: $(field Version)"
[ -n "$(field Section)" ] && [ -n "$(field Maintainer)" ] || fail "Section or Maintainer missing"
# dpkg-shlibdeps found the libraries; the Qt plugin is added by hand.
for dep in libqt6widgets6 libc6 libjpeg62-turbo qt6-qpa-plugins; do
    grep -q "\b$dep\b" <<<"$(field Depends)" || fail "Depends lacks $dep: $(field Depends)"
done

mkdir "$scratch/control"
dpkg-deb -e "$deb" "$scratch/control"
scripts=$(ls "$scratch/control" | grep -vxE 'control|md5sums' || true)
[ -z "$scripts" ] || fail "maintainer scripts: $scripts"
owners=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')
[ -z "$owners" ] || fail "files not owned by root: $owners"

# Warnings left on purpose are listed in the packaging notes; errors fail.
lintian --fail-on error "$deb" >"$scratch/lintian.log" 2>&1 || fail "lintian: $(cat "$scratch/lintian.log")"

dpkg-deb -x "$deb" "$scratch/root"
check_tree "$scratch/root/usr" "$samples"
check_icons "$scratch/root/usr"
[ -f "$scratch/root/usr/share/doc/tavlo/copyright" ] || fail "no copyright file"
[ -f "$scratch/root/usr/share/doc/tavlo/changelog.Debian.gz" ] || fail "no changelog"
exit $failed
