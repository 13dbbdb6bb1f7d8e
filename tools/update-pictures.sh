#!/usr/bin/env bash
# Writes the reference pictures of the window tests (tests/app/pictures/*.png) again from the
# program as it stands, after a change meant to be seen (or a merge that brings one).
#   tools/update-pictures.sh [BUILD_DIR]     (default build-test, the Debug build of ./dev.sh test)
# Before rewriting them it runs the test once as it is: each picture that changes is left in
# BUILD_DIR/tests/pictures/ with a map of the pixels that differ (<name>-difference.png, in red).
# Look at those and at the new references (open the PNG files) before committing the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build "$build" -j"$(nproc)" --target tst_pictures
rm -rf "$build/tests/pictures"
if "$build/tests/tst_pictures" -silent >"$build/tests/pictures-before.log" 2>&1; then
  echo "The pictures are as their references: nothing to write."
  exit 0
fi
grep -E 'differs from its reference|FAIL' "$build/tests/pictures-before.log" || true
PLATINE_UPDATE_PICTURES=1 "$build/tests/tst_pictures" -silent
"$build/tests/tst_pictures" -silent # and they are what the test sees now
echo "Written again (the pictures that changed, and their differences: $build/tests/pictures/):"
git status --short tests/app/pictures
