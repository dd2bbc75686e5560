#!/usr/bin/env bash
# The version is set once, in the top-level CMakeLists.txt; --version and the
# package names take it from there. The texts that name it must follow: the
# README's install section, the man page's title line and the Debian
# changelog's newest entry.
# Usage: version-check.sh SOURCE_DIR VERSION
set -euo pipefail
source=$1 version=$2
failed=0
expect() {
  local file=$1 text=$2
  grep -qF -- "$text" "$source/$file" || { echo "version-check: $file does not name '$text'" >&2; failed=1; }
}
expect README.md "zodovu-cli_${version}_amd64.deb"
expect README.md "zodovu-${version}-win32.zip"
expect cli/zodovu-cli.1 "\"zodovu\\-cli ${version}\""
[[ "$(sed -n 1p "$source/packaging/debian/changelog")" == "zodovu-cli ($version) "* ]] ||
  { echo "version-check: packaging/debian/changelog has no entry for $version on top" >&2; failed=1; }
[ "$failed" -eq 0 ] && echo "version-check: README, man page and changelog name version $version"
exit "$failed"
