#!/usr/bin/env bash
# Sets up, builds and runs Tallyvex on a Debian machine.
#
#   ./build.sh example    install what is missing, build, and run the batch
#                         job on the bundled example investor file
#   ./build.sh test       install what is missing, build, and run every test
#   ./build.sh sanitize   the same tests in a build with AddressSanitizer and
#                         UndefinedBehaviorSanitizer
#   ./build.sh bench      build in Release and run the benchmarks
#   ./build.sh fuzz [s]   fuzz the data-file loader with libFuzzer for s seconds (600)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD

PACKAGES=(cmake g++ make pkgconf libgtest-dev libgmock-dev googletest libbenchmark-dev
          qt6-base-dev qt6-base-dev-tools libgl-dev fonts-liberation poppler-utils
          xvfb xauth hyperfine time valgrind clang libclang-rt-14-dev hledger)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

configure_and_build() {
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

case "${1:-}" in
  example)
    install_missing
    configure_and_build build
    out=$(mktemp -d)/smith-reports.txt
    unset DISPLAY WAYLAND_DISPLAY
    build/bin/tvxdesk /silent /input "$ROOT/examples/smith.qvx" /output "$out"
    cat "$out"
    echo
    echo "Reports written to $out"
    ;;
  test)
    install_missing
    configure_and_build build
    ctest --test-dir build --output-on-failure -j"$(nproc)"
    ;;
  sanitize)
    install_missing
    configure_and_build build-sanitize -DTVX_SANITIZE=ON -DTVX_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
    ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
    ;;
  bench)
    install_missing
    configure_and_build build-release -DCMAKE_BUILD_TYPE=Release -DTVX_BUILD_TESTS=OFF
    build-release/bin/orlendo_bench "${@:2}"
    ;;
  fuzz)
    install_missing
    tests/fuzz/run.sh "${2:-600}"
    ;;
  *)
    sed -n '2,11p' "$0"
    exit 2
    ;;
esac
