# Checks shared by the tests of the installed tree and of the unpacked package.
# Source it with the arguments BUILD_DIR SAMPLES_DIR; each check reports through
# fail() and sets $failed. Everything goes to a scratch folder removed at exit.

build=$1
samples=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# Runs a command with nothing of the caller's environment, so nothing of the
# build tree can leak in through PATH, LD_LIBRARY_PATH or the XDG folders.
clean_env() {
    env -i PATH=/usr/bin:/bin HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/config" \
        XDG_DATA_HOME="$scratch/home/data" XDG_CACHE_HOME="$scratch/home/cache" LANG=C.UTF-8 "$@"
}

# check_tree PREFIX SAMPLES: the program in PREFIX runs by itself and exports a template.
check_tree() {
    local prefix=$1 samples=$2
    mkdir -p "$scratch/home"
    local version
    version=$(clean_env "$prefix/bin/Tavlo" --version) || fail "Tavlo --version failed"
    [ "$version" = "Tavlo 2.03" ] || fail "Tavlo --version said '$version'"

    # Every library of ours comes from the tree itself.
    local libs lib found
    libs=$(clean_env ldd "$prefix/bin/Tavlo")
    for lib in librulmek.so libSarvik.so; do
        found=$(awk -v lib="$lib" '$1 == lib { print $3 }' <<<"$libs")
        [[ -n $found && $(realpath "$found") == "$(realpath "$prefix")"/lib/* ]] ||
            fail "$lib not from $prefix: '$found'"
    done
    grep "not found" <<<"$libs" && fail "unresolved libraries"

    local map
    for map in "$samples"/*.tvx; do
        [ -f "$prefix/share/tavlo/samples/$(basename "$map")" ] || fail "template $map not installed"
    done
    map=$(ls "$prefix"/share/tavlo/samples/*.tvx | head -n1)
    rm -f "$scratch/page.png"
    clean_env "$prefix/bin/Tavlo" --export-png "$scratch/page.png" "$map" || fail "--export-png failed"
    file "$scratch/page.png" | grep -q 'PNG image data' || fail "--export-png wrote no PNG"

    # Tests, benchmarks and fuzzers stay out of what is installed.
    local extra
    extra=$(find "$prefix" -iname '*test*' -o -iname '*bench*' -o -iname '*fuzz*')
    [ -z "$extra" ] || fail "installed test programs: $extra"
    [ "$(ls "$prefix/bin")" = "Tavlo" ] || fail "bin holds more than Tavlo: $(ls "$prefix/bin")"
}

# check_icons PREFIX: every PNG has the size its folder names.
check_icons() {
    local prefix=$1 size name
    for size in 16 22 24 32 48 64 128 256; do
        for name in apps/org.tavlo.Tavlo mimetypes/application-x-tavlo; do
            local png=$prefix/share/icons/hicolor/${size}x${size}/$name.png
            file "$png" | grep -q "PNG image data, $size x $size," || fail "icon $png"
        done
    done
}

# check_file_type SHARE: with only SHARE in XDG_DATA_DIRS, a .tvx file is ours by its
# name, a renamed one by its magic, and the desktop entry is the one that opens it.
check_file_type() {
    local share=$1 map
    map=$(ls "$share"/tavlo/samples/*.tvx | head -n1)
    cp "$map" "$scratch/map.tvx"
    cp "$map" "$scratch/map-without-extension"
    printf '\003\0\0\0\0\0\0\0' >"$scratch/old.tvx"
    # Both tools remark that SHARE is not searched by default: only a failure counts.
    local log
    log=$(update-mime-database "$share/mime" 2>&1) || fail "update-mime-database: $log"
    log=$(update-desktop-database "$share/applications" 2>&1) || fail "update-desktop-database: $log"
    local type
    type=$(clean_env XDG_DATA_DIRS="$share" xdg-mime query filetype "$scratch/map.tvx")
    [ "$type" = "application/x-tavlo" ] || fail "xdg-mime says $scratch/map.tvx is '$type'"
    type=$(clean_env XDG_DATA_DIRS="$share" GIO_USE_VFS=local \
        gio info -a standard::content-type "$scratch/map-without-extension")
    grep -q 'standard::content-type: application/x-tavlo' <<<"$type" ||
        fail "gio does not know the file by its magic: $type"
    # An old file without the magic is still ours by its name.
    type=$(clean_env XDG_DATA_DIRS="$share" xdg-mime query filetype "$scratch/old.tvx")
    [ "$type" = "application/x-tavlo" ] || fail "xdg-mime says a version 3 .tvx is '$type'"
    type=$(clean_env XDG_DATA_DIRS="$share" xdg-mime query default application/x-tavlo)
    [ "$type" = "org.tavlo.Tavlo.desktop" ] || fail "the default for .tvx files is '$type'"
    # A FreeMind map is known by its first element although "*.mm" has other owners.
    printf '<map version="1.0.1">\n<node TEXT="a"/>\n</map>\n' >"$scratch/map.mm"
    type=$(clean_env XDG_DATA_DIRS="$share:/usr/share" xdg-mime query filetype "$scratch/map.mm")
    [ "$type" = "application/x-freemind" ] || fail "xdg-mime says $scratch/map.mm is '$type'"
}
