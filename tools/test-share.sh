#!/usr/bin/env bash
# The share of test code: non-blank lines of the .cpp and .h files in tests/ and fuzz/ against those
# of the program (every other folder but bench/), and their ratio.
#   tools/test-share.sh
set -euo pipefail
cd "$(dirname "$0")/.."
# The files git keeps or would keep (tracked, or new and not ignored) that are there now.
count() {
  git ls-files --cached --others --exclude-standard -- "$@" | grep -E '\.(cpp|h)$' | sort -u |
    while read -r f; do [ -f "$f" ] && cat "$f"; done | grep -cv '^[[:space:]]*$' || true
}
tests=$(count tests fuzz)
program=$(count . ':!tests' ':!fuzz' ':!bench')
awk -v t="$tests" -v p="$program" \
  'BEGIN { printf "test share: %d lines of tests and fuzz targets, %d lines of program, ratio %.3f\n", t, p, t / p }'
