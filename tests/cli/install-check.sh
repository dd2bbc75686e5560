#!/usr/bin/env bash
# Installs the host tree into a scratch prefix and checks what users look at:
# the binary, its man page (rendered by groff without a warning, when groff is
# there) and its bash completion (subcommands, options, a clip's numbers), and
# that both name every option the help names.
# Usage: install-check.sh BUILD_DIR MAKE_DEMO_ARCHIVES VERSION
set -euo pipefail
build=$1 make_demo=$2 version=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "install-check: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
bin=$scratch/prefix/bin/zodovu-cli
page=$scratch/prefix/share/man/man1/zodovu-cli.1
completion=$scratch/prefix/share/bash-completion/completions/zodovu-cli
for file in "$bin" "$page" "$completion"; do
  [ -e "$file" ] || fail "not installed: ${file#"$scratch/prefix/"}"
done
[ "$("$bin" --version)" = "zodovu-cli $version" ] || fail "the installed binary does not run"

if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) || fail "groff failed on the man page"
  [ -z "$warnings" ] || fail "groff warns about the man page: $warnings"
else
  echo "install-check: groff not found; the man page is not rendered"
fi

# Completes the words given, the last one being completed, as bash would.
complete_words() {
  (
    # shellcheck source=/dev/null
    source "$completion"
    COMP_WORDS=("$bin" "$@")
    COMP_CWORD=$#
    _zodovu_cli
    printf '%s\n' "${COMPREPLY[@]}"
  )
}
expect() {
  local expected=$1 actual
  shift
  actual=$(complete_words "$@" | sort | tr '\n' ' ')
  [ "$actual" = "$expected" ] || fail "completing '$*': got '$actual', expected '$expected'"
}

"$make_demo" "$scratch/demo" >/dev/null
cd "$scratch/demo"
# The decoding commands go on in the installed zodovu-cli-decode.
"$bin" verify --frames disc4.pak >/dev/null || fail "verify --frames does not find the installed decoding program"
expect "extract " ex
expect "--help --version convert encode extract help index list pack play replace url verify " ""
expect "--lo " play --l
expect "--player " play disc2.pak --p
expect "1 2 3 4 publisher " url --disc ""
expect "webm " convert disc2.pak 3 --format w
expect "disc2.pak " play disc2
# Every option each subcommand's help names, long and short, is completed and
# is in the man page.
for command in list extract convert encode verify replace pack index url play help; do
  offered=" $(complete_words "$command" - | tr '\n' ' ')"
  for option in $("$bin" help "$command" | grep -oE '^ +(-[a-z], )?--?[a-z-]+' | grep -oE -- '--?[a-z-]+'); do
    [[ $offered == *" $option "* ]] || fail "completing '$command -' does not offer $option"
    grep -qF -- "${option//-/\\-}" "$page" || fail "the man page does not name $option"
  done
done
# A renamed publisher archive is read only as --disc names it.
cp publish.pak renamed.pak
[ "$(complete_words url renamed.pak --disc publisher "" | wc -l)" -eq "$("$bin" list publish.pak | tail -n +3 | wc -l)" ] ||
  fail "completing a clip number of an archive named with --disc"
clips=$("$bin" list disc2.pak | tail -n +3 | wc -l)
numbers=$(complete_words play disc2.pak "" | wc -l)
[ "$numbers" -eq "$clips" ] && [ "$clips" -gt 1 ] || fail "completing a clip number: $numbers of $clips clips"
echo "install-check: binary, man page and completion installed and working"
