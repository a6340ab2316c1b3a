#!/usr/bin/env bash
# The desktop files pass their validators and agree with one another and with
# the program's own command line.
# Usage: validate.sh PACKAGING_DIR TAVLO_BINARY
set -euo pipefail
src=$1
tavlo=$2
id=org.tavlo.Tavlo
failed=0

fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# Hints are fine (the entry names two main categories on purpose); warnings are not.
out=$(desktop-file-validate "$src/$id.desktop" 2>&1) || fail "desktop-file-validate: $out"
grep -E 'error|warning' <<<"$out" && fail "desktop entry: $out"

appstreamcli validate --no-net "$src/$id.metainfo.xml" || fail "appstreamcli validate"
xmllint --noout "$src/$id.xml" "$src/$id.metainfo.xml" || fail "xmllint"

# man prints the formatter's complaints on standard error.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$src/Tavlo.1" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page: $warnings"

# Its own file type first, then the maps it imports, named the same in the entry and
# the metainfo; the MIME package defines those the shared database lacks.
types="application/x-tavlo application/x-freemind application/vnd.xmind.workbook text/x-opml+xml text/markdown"
grep -qx "MimeType=$(printf '%s;' $types)" "$src/$id.desktop" || fail "desktop entry MimeType"
for type in $types; do
    grep -q "<mediatype>$type</mediatype>" "$src/$id.metainfo.xml" || fail "metainfo mediatype $type"
done
for type in application/x-tavlo application/x-freemind application/vnd.xmind.workbook; do
    grep -q "<mime-type type=\"$type\">" "$src/$id.xml" || fail "MIME package type $type"
done
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$src/$id.metainfo.xml" ||
    fail "metainfo launchable"
grep -qx "Icon=$id" "$src/$id.desktop" && [ -f "$src/icons/$id.svg" ] || fail "desktop entry Icon"
[ -f "$src/icons/application-x-tavlo.svg" ] || fail "document icon"

# The completion offers exactly the long options that --help lists.
help_options=$("$tavlo" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
completion_options=$(bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    COMP_WORDS=(Tavlo --); COMP_CWORD=1; COMP_LINE="Tavlo --"; COMP_POINT=8
    _Tavlo Tavlo -- Tavlo
    printf "%s\n" "${COMPREPLY[@]}"' _ "$src/Tavlo.bash-completion" | sort -u)
[ "$help_options" = "$completion_options" ] ||
    fail "completion options differ from --help:"$'\n'"$(diff <(echo "$help_options") <(echo "$completion_options"))"

exit $failed
