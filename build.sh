#!/usr/bin/env bash
# Bytemoor build driver.
#   ./build.sh run [FILE]   build the editor and start it (optionally on FILE)
#   ./build.sh test         build everything and run every test
#   ./build.sh sanitize     build and run the tests under ASan and UBSan
#   ./build.sh package      build the Debian package (build/package/) and check it
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(g++ cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation2 qt6-translations-l10n qt6-l10n-tools qt6-tools-dev zlib1g-dev libssl-dev)
# What making and checking the package needs besides: dpkg-shlibdeps for its
# dependencies, and the validators of its desktop entry and metadata.
PACKAGE_TOOLS=(dpkg-dev desktop-file-utils appstream)

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || echo "$p"
  done
}

ensure_deps() {
  local missing
  missing=$(missing_packages "${PACKAGES[@]}" "$@")
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "Missing packages: $missing" >&2
    echo "Install them with: sudo apt-get install -y $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  if ! apt-get install -y -qq --no-install-recommends $missing >/dev/null; then
    echo "Could not install: $missing" >&2
    echo "Install them with: apt-get install -y $missing" >&2
    exit 1
  fi
}

configure() {
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  fi
}

run_tests() {
  local dir=$1
  QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
}

cmd=${1:-}
[ $# -gt 0 ] && shift
case "$cmd" in
  run)
    ensure_deps
    configure build
    cmake --build build --target bytemoor
    exec ./build/src/app/bytemoor "$@"
    ;;
  test)
    ensure_deps
    configure build
    cmake --build build
    run_tests build
    ;;
  sanitize)
    ensure_deps
    configure build-san -DBYTEMOOR_SANITIZE=ON -DBYTEMOOR_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
    cmake --build build-san
    export ASAN_OPTIONS=abort_on_error=0:halt_on_error=1:detect_leaks=1
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    run_tests build-san
    ;;
  package)
    ensure_deps "${PACKAGE_TOOLS[@]}"
    configure build
    cmake --build build --target bytemoor
    rm -rf build/package
    (cd build && cpack -G DEB -B "$PWD/package" >/dev/null)
    rm -rf build/package/_CPack_Packages
    tools/check_package.sh build/package/bytemoor_*.deb
    ;;
  *)
    echo "usage: $0 run [FILE] | test | sanitize | package" >&2
    exit 2
    ;;
esac
