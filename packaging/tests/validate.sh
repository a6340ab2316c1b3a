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

# One file type, named the same in the entry, the MIME package and the metainfo.
grep -qx 'MimeType=application/x-tavlo;' "$src/$id.desktop" || fail "desktop entry MimeType"
grep -q '<mime-type type="application/x-tavlo">' "$src/$id.xml" || fail "MIME package type"
grep -q '<mediatype>application/x-tavlo</mediatype>' "$src/$id.metainfo.xml" || fail "metainfo mediatype"
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
