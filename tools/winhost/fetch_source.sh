#!/usr/bin/env bash
# Fetches and unpacks Debian's source package LIB into SOURCES/LIB. The package is
# fetched in a folder of its own beside it, which takes the name only once the fetch is
# whole (with the mark .fetched): an interrupted fetch leaves no tree half there, and the
# next run fetches again. A folder without the mark (an older run's) is fetched anew.
#   fetch_source.sh SOURCES LIB
set -euo pipefail
sources=$1 lib=$2
dir="$sources/$lib"
[ -f "$dir/.fetched" ] && exit 0
rm -rf "$dir" "$sources/.$lib".fetch-*
mkdir -p "$sources"
fetch=$(mktemp -d "$sources/.$lib.fetch-XXXXXX")
trap 'rm -rf "$fetch"' EXIT
echo "== fetching the source package $lib"
(cd "$fetch" && apt-get source -q --only-source "$lib") >"$fetch/fetch.log" 2>&1 || { cat "$fetch/fetch.log"; exit 1; }
touch "$fetch/.fetched"
mv -T "$fetch" "$dir"
trap - EXIT
