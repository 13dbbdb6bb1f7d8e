#!/usr/bin/env bash
# Writes the reference pictures of the window tests (tests/app/pictures/*.png) again from the
# program as it stands, after a change meant to be seen. Then look at what changed before
# committing the pictures (git diff --stat tests/app/pictures; open the PNG files).
#   tools/update-pictures.sh [BUILD_DIR]     (default build-test, the Debug build of ./dev.sh test)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build "$build" -j"$(nproc)" --target tst_pictures
PLATINE_UPDATE_PICTURES=1 "$build/tests/tst_pictures" -silent
"$build/tests/tst_pictures" -silent # and they are what the test sees now
git status --short tests/app/pictures
