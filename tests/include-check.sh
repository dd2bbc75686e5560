#!/usr/bin/env bash
# Checks the includes of the product's code (every folder but tests/ and
# bench/): each of the project's own names its folder ("file/File.h"), so that
# none can be taken for another (framework/String.h for <string.h> where case
# is ignored); each points down the layers only; and no two modules (X.h with
# X.cpp) include each other, directly or round a circle. framework/ keeps the
# classic class library's own mutual shape (a window and its data exchange,
# the application and its windows), and is left out of that last check.
# Usage: include-check.sh SOURCE_DIR
set -euo pipefail
cd "$1"
fail() { echo "include-check: $*" >&2; exit 1; }

# What each folder may include besides itself: the layers, top to bottom.
declare -A may=(
  [file]=""
  [catalogue]="file"
  [output]="catalogue file"
  [media]="bink catalogue file"
  [bink]="catalogue file"
  [framework]="file"
  [ui]="framework output bink catalogue file"
  [cli]="media output bink catalogue file"
  [samples]="bink catalogue file"
)
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for folder in "${!may[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r -d '' source; do
    module=${source%.*}
    while IFS= read -r included; do
      [[ $included == */* ]] || fail "$source: #include \"$included\" does not name its folder"
      [ -f "$included" ] || fail "$source: #include \"$included\": no such file"
      target=${included%%/*}
      [[ $target == "$folder" || " ${may[$folder]} " == *" $target "* ]] ||
        fail "$source: #include \"$included\": $folder/ may not use $target/"
      [ "${included%.*}" = "$module" ] || [ "$folder" = framework ] || echo "$module ${included%.*}" >>"$edges"
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$source")
  done < <(find "$folder" \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
done
tsort "$edges" >/dev/null 2>"$edges.loops" || true
if [ -s "$edges.loops" ]; then
  loops=$(cat "$edges.loops"); rm -f "$edges.loops"
  fail "modules include each other round a circle: $loops"
fi
rm -f "$edges.loops"
echo "include-check: every include names its folder, points down the layers, and no module circles back"
