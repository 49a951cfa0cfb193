#!/usr/bin/env bash
# Installs the build into a temporary prefix, as a user or a packager would,
# and checks what is there: the programs run from it (moved as a whole), the
# menu entries and the AppStream file validate, and the installed programs
# find their shared files (the backup utility's compressor) beside them.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/first" >/dev/null
# An installation works wherever it is moved to.
mv "$work/first" "$work/prefix"
prefix=$work/prefix

for f in bin/fundora bin/vaultine share/fundora/PKLAUNCH.PIF share/fundora/help/index.html share/fundora/pictures/cards.svg \
         share/applications/org.fundora.Fundora.desktop share/applications/org.fundora.Vaultine.desktop \
         share/metainfo/org.fundora.Fundora.metainfo.xml share/man/man1/fundora.1.gz share/man/man1/vaultine.1.gz \
         share/doc/fundora/copyright; do
    [ -s "$prefix/$f" ] || fail "$f is not installed"
done
for icon in fundora vaultine; do
    [ -s "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the scalable $icon icon is missing"
    for size in 16 24 32 48 64 128 256; do
        png="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
        [ -s "$png" ] || fail "$png is missing"
        file "$png" | grep -q "$size x $size" || fail "$png is not ${size}x${size}"
    done
done
[ -x "$prefix/bin/fundora" ] && [ -x "$prefix/share/fundora/PKLAUNCH.PIF" ] || fail "a program is not executable"
# Nothing of the build's own (tests, tools) is installed.
extra=$(find "$prefix/bin" -type f ! -name fundora ! -name vaultine)
[ -z "$extra" ] || fail "installed beside the programs: $extra"

desktop-file-validate "$prefix"/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/org.fundora.Fundora.metainfo.xml" >/dev/null || fail "appstreamcli validate"
# Every page a manual lists renders without a warning.
for page in fundora vaultine; do
    grep -q '^\.SH EXIT STATUS' <<<"$(zcat "$prefix/share/man/man1/$page.1.gz")" || fail "$page.1 has no exit status"
    warnings=$(zcat "$prefix/share/man/man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
done
# Every option of the usage is in its manual page. (Read whole first: a
# `grep -q` at the end of a pipe would stop its writers early, and pipefail
# would take their SIGPIPE for a failure.)
for program in fundora vaultine; do
    page=$(zcat "$prefix/share/man/man1/$program.1.gz" | sed 's/\\-/-/g')
    usage=$("$prefix/bin/$program" --help)
    for option in $(grep -o -- '--[a-z-]*' <<<"$usage" | sort -u); do
        grep -q -- "$option" <<<"$page" || fail "$program.1 does not name $option"
    done
done

# The installed programs: their versions, a sample register, and a backup of it
# through the installed compressor (the register holds none).
export HOME=$work/home XDG_DATA_HOME=$work/home/data QT_QPA_PLATFORM=offscreen
unset FUNDORA_DIR
mkdir -p "$HOME"
"$prefix/bin/fundora" --version | grep -q '^fundora [0-9]' || fail "fundora --version"
"$prefix/bin/vaultine" --version | grep -q '^vaultine [0-9]' || fail "vaultine --version"
"$prefix/bin/fundora" --sample "$work/sample" >/dev/null || fail "fundora --sample"
[ ! -e "$work/sample/PKLAUNCH.PIF" ] || fail "the compressor was put into the register"
"$prefix/bin/vaultine" --dir "$work/sample" --backup --to "$work/set" >/dev/null || fail "a backup with the installed compressor"
compgen -G "$work/set/*.BKP" >/dev/null || fail "no backup set was written"
[ ! -e "$work/sample/PKLAUNCH.PIF" ] || fail "the backup put the compressor into the register"
echo "install: the installed tree is complete, validates and runs"
