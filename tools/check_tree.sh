#!/usr/bin/env bash
# Checks the tree's shape: every C++ file formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0

unformatted=$(git ls-files '*.cpp' '*.h' | xargs -P4 -n40 clang-format-14 --dry-run 2>&1 | grep -o '^[^:]*:[0-9]*:[0-9]*: warning' | cut -d: -f1 | sort -u || true)
if [ -n "$unformatted" ]; then
  echo "Not formatted (run clang-format-14 -i on them):"
  echo "$unformatted" | sed 's/^/  /'
  status=1
fi

[ $status -eq 0 ] && echo "tree check: formatted"
exit $status
