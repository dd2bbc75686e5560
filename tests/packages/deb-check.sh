#!/usr/bin/env bash
# Makes the host tree's Debian package as `--target package` does, into a
# scratch folder, and checks it as a user gets it: its fields and file list,
# the files unpacked into a scratch root (the binary stripped and running on a
# demo archive, the man page rendered without a warning, the documents), and
# lintian without an error.
# Usage: deb-check.sh BUILD_DIR SOURCE_DIR VERSION MAKE_DEMO_ARCHIVES
set -euo pipefail
export LC_ALL=C
build=$1 source=$2 version=$3 make_demo=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "deb-check: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$scratch/out/zodovu-cli_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no package named $(basename "$deb"): $(ls "$scratch/out")"

# The control fields; the libraries come from dpkg-shlibdeps, so libc6 is among them.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zodovu-cli ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[[ "$(field Depends)" == *"libc6 (>= "* ]] || fail "Depends lacks the computed libc6: $(field Depends)"
for name in Maintainer Section Priority Description Installed-Size; do
  [ -n "$(field "$name")" ] || fail "no $name field"
done
# (Output is kept before grep -q reads it: a writer that grep leaves early would
# fail the pipeline.)
info=$(dpkg-deb -I "$deb")
grep -qE '^ +[0-9]+ bytes, +[0-9]+ lines +md5sums' <<<"$info" || fail "no md5sums"

# Every file, with its mode and owner; every folder root's and 0755.
expected="-rwxr-xr-x root/root ./usr/bin/zodovu-cli
-rwxr-xr-x root/root ./usr/libexec/zodovu-cli/zodovu-cli-decode
-rw-r--r-- root/root ./usr/share/bash-completion/completions/zodovu-cli
-rw-r--r-- root/root ./usr/share/doc/zodovu-cli/README.md.gz
-rw-r--r-- root/root ./usr/share/doc/zodovu-cli/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/zodovu-cli/copyright
-rw-r--r-- root/root ./usr/share/man/man1/zodovu-cli.1.gz"
contents=$(dpkg-deb -c "$deb")
actual=$(awk '$1 !~ /^d/ { print $1, $2, $6 }' <<<"$contents" | sort -k 3)
[ "$actual" = "$expected" ] || fail "the package holds:
$actual
instead of:
$expected"
odd_folders=$(awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root")' <<<"$contents")
[ -z "$odd_folders" ] || fail "folders not root's 0755: $odd_folders"

# Unpacked, as dpkg would place it.
root=$scratch/root
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin/zodovu-cli
for program in "$bin" "$root/usr/libexec/zodovu-cli/zodovu-cli-decode"; do
  sections=$(readelf -S --wide "$program")
  ! grep -qE '\.debug_|\.symtab|\.comment' <<<"$sections" || fail "${program#"$root"} is not stripped"
done
[ "$("$bin" --version)" = "zodovu-cli $version" ] || fail "--version: $("$bin" --version)"
"$make_demo" "$scratch/demo" >/dev/null
"$bin" list "$scratch/demo/disc2.pak" >"$scratch/listing" || fail "list of a demo archive failed"
"$build/cli/zodovu-cli" list "$scratch/demo/disc2.pak" | cmp -s - "$scratch/listing" ||
  fail "the packaged binary lists a demo archive otherwise than the built one"
"$bin" verify "$scratch/demo/disc2.pak" >/dev/null || fail "verify of a demo archive failed"
# The Description names every subcommand that the tool's help lists.
help=$("$bin" --help)
description=$(field Description)
for command in $(sed -n 's/^  \([a-z]\+\)  .*/\1/p' <<<"$help"); do
  [[ $description =~ (^|[[:space:]])$command[[:space:]] ]] || fail "the Description does not name $command"
done
# Decoding goes on in the package's own zodovu-cli-decode, found from /usr/bin.
"$bin" verify --frames "$scratch/demo/disc4.pak" >/dev/null || fail "verify --frames of a demo archive failed"

# The man page, gzipped without a name or time, renders without a warning.
page=$root/usr/share/man/man1/zodovu-cli.1.gz
gzip -t "$page" || fail "the man page is no gzip file"
[ "$(od -An -tx1 -j3 -N5 "$page" | tr -d ' ')" = 0000000000 ] || fail "the man page's gzip header keeps a name or time"
gunzip -c "$page" | cmp -s - "$source/cli/zodovu-cli.1" || fail "the man page differs from cli/zodovu-cli.1"
warnings=$(gunzip -c "$page" | groff -man -Tutf8 -ww -z 2>&1) || fail "groff failed on the man page"
[ -z "$warnings" ] || fail "groff warns about the man page: $warnings"

# The documents: the README and completion as they are, the copyright in
# Debian's format with the licence's text, the changelog's newest entry this version.
doc=$root/usr/share/doc/zodovu-cli
gunzip -c "$doc/README.md.gz" | cmp -s - "$source/README.md" || fail "README.md.gz differs from README.md"
cmp -s "$root/usr/share/bash-completion/completions/zodovu-cli" "$source/cli/zodovu-cli.bash" ||
  fail "the completion differs from cli/zodovu-cli.bash"
[ "$(sed -n 1p "$doc/copyright")" = 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ] ||
  fail "the copyright file is not in Debian's format"
grep -qx 'License: Expat' "$doc/copyright" || fail "the copyright file names no Expat (MIT) licence"
sed -n '/^License:/,$p' "$doc/copyright" | tail -n +2 | sed 's/^ //; s/^\.$//' |
  cmp -s - <(sed -n '/^Permission/,$p' "$source/LICENSE") || fail "the copyright file's licence text is not LICENSE's"
newest=$(gunzip -c "$doc/changelog.gz" | sed -n 1p)
[[ "$newest" == "zodovu-cli ($version) "* ]] || fail "the changelog's newest entry is not $version: $newest"

# lintian: errors fail, the rest is shown.
command -v lintian >/dev/null || fail "lintian not found (scripts/setup.sh installs it)"
report=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian reports errors:
$report"
report=$(grep -v 'running with root privileges' <<<"$report" || true)
[ -z "$report" ] || echo "deb-check: lintian says:
$report"
echo "deb-check: $(basename "$deb") holds what it should, runs and passes lintian"
