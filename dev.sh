#!/usr/bin/env bash
# ./dev.sh run   installs what is missing, builds and starts the program
# ./dev.sh test  installs what is missing, builds and runs the whole test suite
# ./dev.sh bench installs what is missing, builds and runs the benchmarks
# ./dev.sh windows  builds Qt for Windows once (cached outside the repository), the program and its
#                   tests for Windows, runs them under Wine and makes build-windows/platine-windows.zip
set -euo pipefail
cd "$(dirname "$0")"

# qt6-translations-l10n: Qt's own dialogs and messages in French (qtbase_fr.qm), loaded at start-up.
packages=(cmake g++ make pkg-config qt6-base-dev libqt6serialport6-dev libgl-dev fonts-dejavu-core
  qt6-translations-l10n)
[ "${1:-}" = bench ] && packages+=(libbenchmark-dev)
[ "${1:-}" = test ] && packages+=(clang-14 libclang-rt-14-dev clang-format-14 ccache)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
case "${1:-}" in
  run)
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
    cmake --build build -j"$jobs" --target platine
    exec ./build/platine
    ;;
  test)
    cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
    tools/check-format.sh # before the build: a file out of format fails at once
    cmake --build build-test -j"$jobs"
    # The long runs (label "long": 1000 kills, the 10,000-command soak) are left out here.
    QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j"$jobs" -LE long

    # The whole suite a second time, built by clang with AddressSanitizer and
    # UndefinedBehaviorSanitizer (any report fails its test), in the same build as the libFuzzer
    # targets. The fuzz targets run first, a minute each on a scratch copy of their corpus; the
    # sanitized suite runs last, so that its summary closes the output.
    cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++-14 \
          -DCMAKE_CXX_FLAGS=-O1 -DPLATINE_FUZZ=ON -DPLATINE_FUZZ_SECONDS=60 \
          -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
    cmake --build build-sanitize -j"$jobs"
    export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir build-sanitize -L fuzz --output-on-failure -j"$jobs"
    cat build-sanitize/fuzz/run/*/summary

    # The tests that start loading threads (label "threads": the long-file reader, the file
    # session, the viewer) once more, built with ThreadSanitizer: any report of a data race fails
    # its test. Qt's own threads are left out (tools/tsan-suppressions.txt).
    cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++-14 \
          -DCMAKE_CXX_FLAGS=-O1 -DPLATINE_TSAN=ON -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
    cmake --build build-tsan -j"$jobs" --target thread-tests
    TSAN_OPTIONS="halt_on_error=1:suppressions=$PWD/tools/tsan-suppressions.txt" \
      QT_QPA_PLATFORM=offscreen ctest --test-dir build-tsan -L threads --output-on-failure -j"$jobs"
    QT_QPA_PLATFORM=offscreen ctest --test-dir build-sanitize -LE 'fuzz|long' --output-on-failure \
      -j"$jobs"
    tools/test-share.sh
    ;;
  bench)
    cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DPLATINE_BENCH=ON >/dev/null
    cmake --build build-bench -j"$jobs" --target platine-bench
    QT_QPA_PLATFORM=offscreen ./build-bench/bench/platine-bench "${@:2}"
    ;;
  windows)
    exec tools/windows-build.sh "${@:2}"
    ;;
  *)
    echo "usage: $0 run|test|bench|windows" >&2
    exit 2
    ;;
esac
