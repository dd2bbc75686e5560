#!/usr/bin/env bash
# Makes the win32 tree's zip as `--target package` does, into a scratch
# folder, and checks it as a Windows user gets it: one folder with both
# programs stripped, the README and the licence with Windows line ends; and
# zodovu-cli.exe run under Wine from the unpacked folder on a demo archive.
# Usage: zip-check.sh BUILD_DIR SOURCE_DIR VERSION OBJDUMP WINE_RUN MAKE_DEMO_ARCHIVES_EXE
set -euo pipefail
export LC_ALL=C
build=$1 source=$2 version=$3 objdump=$4 wine_run=$5 make_demo=$6
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "zip-check: $*" >&2; exit 1; }

cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
folder=zodovu-$version-win32
zip=$scratch/out/$folder.zip
[ -f "$zip" ] || fail "no zip named $(basename "$zip"): $(ls "$scratch/out")"

expected="$folder/LICENSE.txt
$folder/README.txt
$folder/zodovu-cli.exe
$folder/zodovu.exe"
actual=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)
[ "$actual" = "$expected" ] || fail "the zip holds:
$actual
instead of:
$expected"
mkdir "$scratch/unpacked"
(cd "$scratch/unpacked" && cmake -E tar xf "$zip")
unpacked=$scratch/unpacked/$folder

for program in zodovu.exe zodovu-cli.exe; do
  sections=$("$objdump" -h "$unpacked/$program")
  ! grep -q '\.debug_' <<<"$sections" || fail "$program is not stripped"
done
# Every line of the texts ends in CR LF; without the CRs, the licence is LICENSE.
for text in README.txt LICENSE.txt; do
  lines=$(wc -l <"$unpacked/$text")
  [ "$lines" -gt 0 ] && [ "$(grep -c $'\r$' "$unpacked/$text")" -eq "$lines" ] ||
    fail "$text has lines without Windows line ends"
  [ "$(tail -c 2 "$unpacked/$text" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "$text does not end with CR LF"
done
tr -d '\r' <"$unpacked/LICENSE.txt" | cmp -s - "$source/LICENSE" || fail "LICENSE.txt is not LICENSE"
[[ "$(sed -n 1p "$unpacked/README.txt")" == *" $version "* ]] || fail "README.txt does not name version $version"

# zodovu-cli.exe from the unpacked folder, on a demo archive made by the win32
# tree's own sample maker.
cd "$scratch"
made=$("$wine_run" "$make_demo" demo) || fail "make-demo-archives.exe failed"
made_clips=$(tr -d '\r' <<<"$made" | sed -n 's/^demo.disc2\.pak: \([0-9]*\) clips$/\1/p')
shown=$("$wine_run" "$unpacked/zodovu-cli.exe" --version) || fail "zodovu-cli.exe --version failed"
[ "$(tr -d '\r' <<<"$shown")" = "zodovu-cli $version" ] || fail "zodovu-cli.exe --version: $shown"
listing=$("$wine_run" "$unpacked/zodovu-cli.exe" list demo/disc2.pak) || fail "zodovu-cli.exe list failed"
listing=$(tr -d '\r' <<<"$listing")
[[ "$(head -n 1 <<<"$listing")" == *"Disc 2" ]] || fail "zodovu-cli.exe list: $listing"
clips=$(tail -n +3 <<<"$listing" | wc -l)
[ "$clips" = "$made_clips" ] || fail "zodovu-cli.exe lists $clips clips of disc2.pak, which has ${made_clips:-?}"
echo "zip-check: $(basename "$zip") holds what it should; its zodovu-cli.exe runs under Wine ($clips clips listed)"
