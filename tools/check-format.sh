#!/usr/bin/env bash
# Fails when a tracked .cpp or .h file is not formatted as .clang-format says (clang-format-14):
# each file that would change is named with the first lines that differ.
#   tools/check-format.sh
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format-14}
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r "$format" --dry-run --Werror --ferror-limit=3
