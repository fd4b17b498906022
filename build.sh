#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds, and then runs the program or the tests.
#   ./build.sh run     install, build and start the program on the sample site (samples/)
#   ./build.sh run FILE...   the same on the given files, opened together as one site
#   ./build.sh test    install, build and run every test
#   ./build.sh asan    install, build into build-asan with the address and undefined-behaviour
#                      sanitizers and run every test under them, leaks included
set -euo pipefail
cd "$(dirname "$0")"
mode=${1:-test}

# libwmf-bin only recommends the fonts it maps every text to (fonts-urw-base35): without them its
# converters stop at "failed to load *any* font!". clang-format-14 checks the tree's format in CI.
# xvfb, openbox, xdotool and x11-utils (xprop, xwininfo) run the real-window suite (tests/windows):
# the program in an X server under a window manager.
packages=(cmake ninja-build g++ ccache qt6-base-dev libjpeg62-turbo-dev libgtest-dev
          libbenchmark-dev fonts-dejavu-core fonts-liberation poppler-utils python3-xlrd
          libwmf-bin fonts-urw-base35 xdg-utils clang-format-14 xvfb openbox xdotool
          x11-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build_dir=${BUILD_DIR:-build}
config=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "$mode" = asan ]; then
  build_dir=${BUILD_DIR:-build-asan}
  config+=(-DVAROMARK_SANITIZE=ON -DVAROMARK_BENCH=OFF)
fi
jobs=${JOBS:-$(nproc)}
t0=$(date +%s)
cmake -S . -B "$build_dir" -G Ninja "${config[@]}" >/dev/null
cmake --build "$build_dir" -j "$jobs"
t1=$(date +%s)
echo "build took $((t1 - t0)) s"

case "$mode" in
  run)
    if (($# > 1)); then
      exec "$build_dir/app/varomark" "${@:2}"
    fi
    exec "$build_dir/app/varomark" samples/S107.AMT samples/S107.MT1 samples/S107.MT2
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"
    t2=$(date +%s)
    echo "tests took $((t2 - t1)) s"
    ;;
  asan)
    # fontconfig keeps its caches until the process ends: those are not leaks of ours.
    export QT_QPA_PLATFORM=offscreen
    export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}
    export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}
    ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"
    t2=$(date +%s)
    echo "tests took $((t2 - t1)) s"
    ;;
  *)
    echo "usage: $0 run|test|asan" >&2
    exit 2
    ;;
esac
