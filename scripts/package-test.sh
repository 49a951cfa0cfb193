#!/usr/bin/env bash
# Builds the Debian package from a build directory, checks it with lintian
# (no error, no warning), installs it with dpkg, runs the programs from PATH,
# and removes it again, checking that every file it installed is gone.
# The install and removal need root (or sudo without a password); without it,
# or when a fundora package is already installed (someone's own), they are
# left out and said so.
# Usage: scripts/package-test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/fundora_*.deb)
echo "built $(basename "$deb") ($(du -k "$deb" | cut -f1) KB)"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6core6' || { echo "FAIL: the dependencies were not computed"; exit 1; }
if ! lintian --fail-on error,warning "$deb" >"$out/lintian.log" 2>&1; then
    grep -v "root privileges" "$out/lintian.log"
    exit 1
fi
echo "lintian: no error and no warning"

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then sudo=(sudo -n); else
        echo "not root: the install with dpkg is left out"; exit 0
    fi
fi
if dpkg-query -W -f='${Status}' fundora 2>/dev/null | grep -q "install ok installed"; then
    echo "a fundora package is installed already: the install with dpkg is left out"; exit 0
fi
"${sudo[@]}" dpkg -i "$deb" >/dev/null
files=$(dpkg -L fundora | while read -r f; do [ -f "$f" ] && echo "$f"; done)
status=0
( cd / && PATH=/usr/bin:/bin fundora --version | grep -q '^fundora ' && vaultine --version | grep -q '^vaultine ' ) ||
    { echo "FAIL: the installed programs do not run from PATH"; status=1; }
"${sudo[@]}" dpkg -r fundora >/dev/null
for f in $files; do
    [ ! -e "$f" ] || { echo "FAIL: $f is left after dpkg -r"; status=1; }
done
[ $status -eq 0 ] && echo "dpkg: installed, ran from PATH, and removed with every file ($(wc -w <<<"$files") files)"
exit $status
