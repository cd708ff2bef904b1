#!/usr/bin/env bash
# Tests the Debian package as installed: unpacks it into a temporary root
# with dpkg -x and runs what it installed from empty folders.
#   scripts/test-installed.sh PACKAGE.deb
# - the package's version and the companion's --version are the project's;
# - the menu entry names the installed launcher and icon; the bundled
#   postal table, when the tree has one, and the built-in form's file are
#   installed, and the companion reads that form file from its place;
# - the package depends on the CUPS client library, the fonts and the Qt
#   platform plugins;
# - vamu_pelican_cli answers --version and a transfer;
# - vamu_pelican (offscreen) starts in an empty folder, writes its settings
#   there and ends on SIGTERM; through the menu's launcher it does the same
#   in $XDG_DATA_HOME/vamu_Pelican, which the launcher makes;
# - the launcher tells the program only on the first start that the folder
#   is new, and falls back to ~/.local/share for a relative XDG_DATA_HOME.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
deb=$(readlink -f "$1")
cd "$(dirname "$0")/.."
version=$(sed -nE 's/^project\([^)]*VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)

tmp=$(mktemp -d)
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

root=$tmp/root
dpkg-deb -x "$deb" "$root"
files_before=$(find "$root" | sort)

check "package version is the project's ($version)" [ "$(dpkg-deb -f "$deb" Version)" = "$version" ]
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libcups2 libsqlite3-0 libpq5 fonts-ipafont-gothic fonts-ipafont-mincho qt6-qpa-plugins qt6-translations-l10n libqt6widgets6; do
    check "package depends on $dependency" grep -q "\\b$dependency\\b" <<< "$depends"
done

desktop=$(find "$root/usr/share/applications" -name '*.desktop')
exec_path=$(sed -n 's/^Exec=//p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
check "the menu entry starts the installed launcher ($exec_path)" [ -x "$root$exec_path" ]
check "the menu entry's icon is installed in every size" \
    [ "$(find "$root/usr/share/icons/hicolor" -name "$icon.*" | wc -l)" -eq 8 ]

if [ -e data/jp_postal.bin ]; then
    check "the bundled postal table is installed beside the program's prefix" \
        cmp -s data/jp_postal.bin "$root/usr/share/vamu-pelican/jp_postal.bin"
fi

cli=$root/usr/bin/vamu_pelican_cli
check "vamu_pelican_cli --version" [ "$("$cli" --version)" = "vamu_pelican_cli $version" ]
check "the built-in form's file is installed" cmp -s data/forms/pelican.form "$root/usr/share/vamu-pelican/forms/pelican.form"
forms=$(cd "$tmp" && "$cli" form list)
check "vamu_pelican_cli form list reads the installed form file" \
    grep -qF 'share/vamu-pelican/forms/pelican.form","ok":true' <<< "$forms"
transfer=$(printf 'お名前：山田太郎様\n〒123-4567\n東京都港区芝公園1-2-3\nTEL:03-1234-5678\n' | (cd "$tmp" && "$cli" transfer))
check "vamu_pelican_cli transfer" grep -q '"zip":"123-4567","add1":"東京都港区芝公園1-2-3".*"name":"山田太郎","tel":"03-1234-5678"' <<< "$transfer"

# True once the process has its handler for SIGTERM in place.
catches_term() {
    local mask
    mask=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null) || return 1
    [ -n "$mask" ] && (( (16#$mask >> 14) & 1 ))
}

# Starts the program (or its launcher) in FOLDER, stops it by SIGTERM once
# it is up, and succeeds when it ended by itself with exit code 0.
#   run_until_term FOLDER COMMAND [VAR=VALUE...]
run_until_term() {
    local folder=$1 command=$2 i
    shift 2
    (cd "$folder" && exec env QT_QPA_PLATFORM=offscreen TMPDIR="$tmp" XDG_RUNTIME_DIR="$tmp" \
        CUPS_SERVER="$tmp/no-cups.sock" "$@" "$command" > "$tmp/program.log" 2>&1) &
    program_pid=$!
    for ((i = 0; i < 300; i++)); do
        catches_term "$program_pid" && break
        sleep 0.1
    done
    sleep 1  # the window and its start-up error boxes come up
    if ! kill -TERM "$program_pid" 2>/dev/null; then
        echo "  ended before SIGTERM; output:"
        sed 's/^/  /' "$tmp/program.log"
        wait "$program_pid" || true
        program_pid=
        return 1
    fi
    for ((i = 0; i < 200; i++)); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    local status=0
    wait "$program_pid" || status=$?
    program_pid=
    [ "$status" -eq 0 ] || { echo "  exit code $status; output:"; sed 's/^/  /' "$tmp/program.log"; return 1; }
}

mkdir "$tmp/empty"
check "vamu_pelican starts in an empty folder and ends on SIGTERM" run_until_term "$tmp/empty" "$root/usr/bin/vamu_pelican"
check "vamu_pelican wrote its settings in that folder" [ -s "$tmp/empty/vamu_Pelican.ini" ]

launcher=$root/usr/libexec/vamu-pelican/vamu-pelican-launch
mkdir "$tmp/elsewhere"
check "the launcher runs the program and it ends on SIGTERM" \
    run_until_term "$tmp/elsewhere" "$launcher" XDG_DATA_HOME="$tmp/data" HOME="$tmp/home"
check "the launcher made \$XDG_DATA_HOME/vamu_Pelican and the settings are there" \
    [ -s "$tmp/data/vamu_Pelican/vamu_Pelican.ini" ]
check "nothing was written where the launcher was started" [ -z "$(ls -A "$tmp/elsewhere")" ]
check "nothing was written into the installed files" [ "$(find "$root" | sort)" = "$files_before" ]

# The launcher with a stand-in program that reports its folder and whether
# it was told that the folder is new.
stub=$tmp/stub
mkdir -p "$stub/usr/bin" "$stub/usr/libexec/vamu-pelican"
cp "$launcher" "$stub/usr/libexec/vamu-pelican/"
# shellcheck disable=SC2016  # expanded by the stand-in, not here
printf '#!/bin/sh\necho "$PWD ${VAMU_PELICAN_NEW_DATA_FOLDER:-old}"\n' > "$stub/usr/bin/vamu_pelican"
chmod +x "$stub/usr/bin/vamu_pelican"
stub_launch() { env "$@" "$stub/usr/libexec/vamu-pelican/vamu-pelican-launch"; }
check "first start: the folder is new" \
    [ "$(stub_launch XDG_DATA_HOME="$tmp/d2" HOME="$tmp/h2")" = "$tmp/d2/vamu_Pelican 1" ]
check "second start: the folder is not new" \
    [ "$(stub_launch XDG_DATA_HOME="$tmp/d2" HOME="$tmp/h2")" = "$tmp/d2/vamu_Pelican old" ]
check "a relative or empty XDG_DATA_HOME means ~/.local/share" \
    [ "$(stub_launch XDG_DATA_HOME=relative HOME="$tmp/h3")" = "$tmp/h3/.local/share/vamu_Pelican 1" ]

if [ $failures -ne 0 ]; then
    echo "installed test: $failures FAILED"
    exit 1
fi
echo "installed test: all passed"
