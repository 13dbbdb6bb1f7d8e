#!/usr/bin/env bash
# ./dev.sh run   installs what is missing, builds and starts the program
# ./dev.sh test  installs what is missing, builds and runs the whole test suite
# ./dev.sh bench installs what is missing, builds and runs the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake g++ make pkg-config qt6-base-dev libqt6serialport6-dev libgl-dev fonts-dejavu-core)
[ "${1:-}" = bench ] && packages+=(libbenchmark-dev)

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
    cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build build-test -j"$jobs"
    QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j"$jobs"
    ;;
  bench)
    cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DPLATINE_BENCH=ON >/dev/null
    cmake --build build-bench -j"$jobs" --target platine-bench
    QT_QPA_PLATFORM=offscreen ./build-bench/bench/platine-bench "${@:2}"
    ;;
  *)
    echo "usage: $0 run|test|bench" >&2
    exit 2
    ;;
esac
