#!/usr/bin/env bash
# check_installed_tree.sh TREE: the files that `cmake --install --prefix TREE` laid out, checked as a desktop
# and a user meet them, and the installed program started from its bin/ link.
set -uo pipefail
tree=$1
app=$tree/lib/prezzario
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
check() { # check DESCRIPTION COMMAND...: runs the command, counts a failure if it fails
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

id=it.vallorsa.Prezzario
for file in lib/prezzario/prezzario lib/prezzario/prezzario-query lib/prezzario/Prezzario.mdb bin/prezzario \
    bin/prezzario-query bin/prezzario-build share/man/man1/prezzario-query.1.gz \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
    share/icons/hicolor/128x128/apps/$id.png share/icons/hicolor/256x256/apps/$id.png \
    share/man/man1/prezzario.1.gz share/man/man1/prezzario-build.1.gz share/doc/prezzario/copyright; do
    [ -e "$tree/$file" ] || fail "$file is missing"
done
if [ -e "$tree/lib/prezzario/prezzario-calc" ]; then
    [ -e "$app/stampa.xls" ] || fail "the report helper is installed without stampa.xls"
fi
for program in prezzario prezzario-query; do
    check "bin/$program is a link to the application folder" \
        test "$(readlink -f "$tree/bin/$program")" = "$(readlink -f "$app/$program")"
done
for size in 48 128 256; do
    check "the ${size} px icon is ${size} px" \
        bash -c "file '$tree/share/icons/hicolor/${size}x${size}/apps/$id.png' | grep -q '$size x $size'"
done
check "desktop-file-validate" desktop-file-validate "$tree/share/applications/$id.desktop"
check "appstreamcli validate" appstreamcli validate --no-net --pedantic "$tree/share/metainfo/$id.metainfo.xml"
check "the desktop entry names the installed program and icon" \
    bash -c "grep -qx 'Exec=prezzario' '$tree/share/applications/$id.desktop' && grep -qx 'Icon=$id' '$tree/share/applications/$id.desktop'"
for page in prezzario prezzario-build prezzario-query; do
    check "man page $page" bash -c "man -l '$tree/share/man/man1/$page.1.gz' 2>&1 >/dev/null | { ! grep .; }"
done

# The command line of the installed program.
expect() { # expect DESCRIPTION STATUS PATTERN STREAM ARGS...: exit status and a line of stdout or stderr
    local what=$1 status=$2 pattern=$3 stream=$4
    shift 4
    local out err rc
    out=$(mktemp)
    err=$(mktemp)
    "$tree/bin/prezzario" "$@" >"$out" 2>"$err" </dev/null
    rc=$?
    if [ "$rc" -ne "$status" ]; then
        fail "$what: exit status $rc, not $status"
    elif ! grep -q -- "$pattern" "$([ "$stream" = out ] && echo "$out" || echo "$err")"; then
        fail "$what: no line matching '$pattern'"
        cat "$out" "$err"
    else
        echo "ok: $what"
    fi
    rm -f "$out" "$err"
}
expect "--version" 0 "^prezzario [0-9]" out --version
expect "--help" 0 "--database FILE" out --help
expect "an unknown option" 2 "opzione sconosciuta «--colore»" err --colore
expect "--database without a file" 2 "--database" err --database

# prezzario-query from its bin/ link reads the list of the application folder.
query_out=$(mktemp)
"$tree/bin/prezzario-query" search --text scavo --levels articoli --section 01 >"$query_out" </dev/null
check "the installed prezzario-query finds articles of the installed list (status $?)" \
    grep -q '^articolo,01\.' "$query_out"
rm -f "$query_out"

# Started from the menu's link, on the installed demo list: it runs (offscreen) until stopped, reports no
# fault and writes nothing beside the database.
before=$(ls -la --time-style=+%s "$app")
err=$(mktemp)
HOME=$(mktemp -d) QT_QPA_PLATFORM=offscreen timeout -s TERM 5 "$tree/bin/prezzario" 2>"$err" </dev/null
rc=$?
check "the installed program runs until stopped" test "$rc" -eq 124
# The offscreen platform has remarks of its own; the program's messages start with its name.
check "the installed program reports no fault at start" bash -c "! grep '^prezzario:' '$err'"
check "nothing is written beside the database" test "$before" = "$(ls -la --time-style=+%s "$app")"
rm -f "$err"

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "every check passed"
