#!/usr/bin/env bash
# Checks the tree's shape: every C++ file formatted as .clang-format says, and every include
# root-relative and pointing down the layers only.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0

unformatted=$(git ls-files '*.cpp' '*.h' | xargs -P4 -n40 clang-format-14 --dry-run 2>&1 | grep -o '^[^:]*:[0-9]*:[0-9]*: warning' | cut -d: -f1 | sort -u || true)
if [ -n "$unformatted" ]; then
  echo "Not formatted (run clang-format-14 -i on them):"
  echo "$unformatted" | sed 's/^/  /'
  status=1
fi

# What each folder may include besides its own headers. Folders depend downward only; a test
# folder sees what the folder it tests sees, and the shared test kits (<folder>/testkit/).
# The longest folder that holds a file decides.
libs="platform mtdata chart/engine chart/series chart/extra chart/editor controls inspector treelist projections"
layers=$(
  cat <<EOF
platform=
mtdata=platform
chart/engine=platform
chart/series=chart/engine platform
chart/extra=chart/series chart/engine platform
chart/editor=chart/extra chart/series chart/engine platform
controls=platform
inspector=platform
treelist=inspector controls platform
projections=platform
app=$libs
tools=$libs
bench=$libs app tools
fuzz=$libs
tests/platform=platform
tests/mtdata=mtdata platform tools
tests/chart/engine=chart/engine platform
tests/chart/series=chart/series chart/engine platform controls
tests/chart/extra=chart/extra chart/series chart/engine platform
tests/chart/editor=chart/editor chart/extra chart/series chart/engine platform
tests/controls=controls platform
tests/inspector=inspector platform
tests/treelist=treelist inspector controls platform
tests/projections=projections platform
tests/app=$libs app tools
EOF
)

bad_includes=$(git ls-files '*.cpp' '*.h' | xargs grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
  awk -v layers="$layers" '
    BEGIN {
      n = split(layers, lines, "\n")
      for (i = 1; i <= n; i++) {
        eq = index(lines[i], "=")
        if (eq) allowed[substr(lines[i], 1, eq - 1)] = substr(lines[i], eq + 1)
      }
    }
    # The layer key of a path: the longest key that is a leading folder of it.
    function layer_of(path,    best, k) {
      best = ""
      for (k in allowed)
        if (index(path, k "/") == 1 && length(k) > length(best)) best = k
      return best
    }
    function own_folder(key) { sub(/^tests\//, "", key); return key }
    {
      file = $0; sub(/:.*/, "", file)
      line = $0; sub(/^[^:]*:/, "", line); lineno = line; sub(/:.*/, "", lineno)
      inc = line; sub(/^[^"]*"/, "", inc); sub(/".*/, "", inc)
      where = file ":" lineno ": \"" inc "\""
      if (inc ~ /(^|\/)\.\.?\//) { print where " climbs out of its folder"; next }
      dir = file; sub(/\/[^\/]*$/, "", dir)
      if (inc !~ /\//) {
        # A bare name: a helper beside a test, benchmark or tool, never in a library.
        if (file ~ /^(tests|bench|tools|fuzz)\//) next
        print where " is not root-relative"; next
      }
      key = layer_of(file)
      if (key == "") next
      if (index(inc, own_folder(key) "/") == 1 || index(inc, key "/") == 1) next
      m = split(allowed[key], ok, " ")
      for (j = 1; j <= m; j++) if (index(inc, ok[j] "/") == 1) next
      print where " reaches above " own_folder(key)
    }' || true)
if [ -n "$bad_includes" ]; then
  echo "Includes that climb out of their folder or reach a layer above:"
  echo "$bad_includes" | sed 's/^/  /'
  status=1
fi

[ $status -eq 0 ] && echo "tree check: formatted, includes point down"
exit $status
