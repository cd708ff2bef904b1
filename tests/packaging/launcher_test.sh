#!/usr/bin/env bash
# The desktop launcher with a stand-in program that reports the folder it
# was started in: a data folder of the user's own is used (and made when
# missing, in a parent of the user's own); one that another user owns or
# can write to, or a parent like that, is refused before the program runs
# and before anything is made.
#   launcher_test.sh CONFIGURED_LAUNCHER
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 LAUNCHER" >&2; exit 2; }
launcher=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"

# The launcher finds the program at its own place plus ../../bin.
mkdir -p "$tmp/tree/libexec/vamu-pelican" "$tmp/tree/bin"
cp "$launcher" "$tmp/tree/libexec/vamu-pelican/vamu-pelican-launch"
# shellcheck disable=SC2016  # expanded by the stand-in, not here
printf '#!/bin/sh\necho "ran in $PWD"\n' > "$tmp/tree/bin/vamu_pelican"
chmod +x "$tmp/tree/bin/vamu_pelican" "$tmp/tree/libexec/vamu-pelican/vamu-pelican-launch"

failures=0
# case NAME SETUP EXPECT: SETUP runs in a fresh folder $home (made 0755);
# XDG_DATA_HOME is $home/data. EXPECT is "runs" or "refused".
case_() {
    local name=$1 setup=$2 expect=$3 home out status=0
    home=$(mktemp -d -p "$tmp")
    chmod 755 "$home"
    (cd "$home" && eval "$setup")
    out=$(env -i PATH="$PATH" HOME="$home" XDG_DATA_HOME="$home/data" \
        "$tmp/tree/libexec/vamu-pelican/vamu-pelican-launch" 2>&1) || status=$?
    if [ "$expect" = runs ]; then
        [ $status -eq 0 ] && [ "$out" = "ran in $home/data/vamu_Pelican" ] && return 0
    else
        [ $status -ne 0 ] && [[ $out == *"使いません"* ]] && [[ $out != *"ran in"* ]] &&
            [ ! -e "$home/data/vamu_Pelican/vamu_Pelican.ini" ] && return 0
    fi
    echo "FAIL $name (exit $status): $out"
    failures=$((failures + 1))
}

case_ "own folder" 'mkdir -p data/vamu_Pelican' runs
case_ "missing folder, own parent" 'mkdir data' runs
case_ "missing folder and parent, own grandparent" ':' runs
case_ "folder open to all" 'mkdir -p data/vamu_Pelican && chmod 777 data/vamu_Pelican' refused
case_ "folder open to its group" 'mkdir -p data/vamu_Pelican && chmod 775 data/vamu_Pelican && chgrp 65534 data/vamu_Pelican' refused
case_ "parent open to all, sticky" 'mkdir data && chmod 1777 data' refused
case_ "grandparent open to all" 'chmod 777 .' refused
if [ "$(id -u)" -eq 0 ]; then
    case_ "another user's folder" 'mkdir -p data/vamu_Pelican && chown 65534 data/vamu_Pelican' refused
    case_ "another user's parent" 'mkdir data && chown 65534 data' refused
else
    echo "skipped: the cases of another user's folders need root (chown)"
fi
# Nothing was made in a parent that was refused.
home=$(mktemp -d -p "$tmp")
chmod 1777 "$home"
env -i PATH="$PATH" HOME="$home" XDG_DATA_HOME="$home/data" \
    "$tmp/tree/libexec/vamu-pelican/vamu-pelican-launch" > /dev/null 2>&1 && failures=$((failures + 1))
[ -z "$(ls -A "$home")" ] || { echo "FAIL a refused parent got new folders"; failures=$((failures + 1)); }

[ $failures -eq 0 ] || { echo "launcher: $failures FAILED"; exit 1; }
echo "launcher: all passed"
