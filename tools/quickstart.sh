#!/usr/bin/env bash
# The two Quick start commands of the README:
#   tools/quickstart.sh run    installs what is missing, builds, converts the built-in sample input
#   tools/quickstart.sh test   installs what is missing, builds both configurations, runs every test
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
mode=${1:-run}

bash tools/install-deps.sh

build() {   # build <dir> <cmake args...>
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
}

case "$mode" in
run)
    build build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
    bash tools/demo.sh "$root/build/release"
    ;;
test)
    build build/release -DCMAKE_BUILD_TYPE=Release
    ctest --test-dir build/release --output-on-failure -j2
    # Debug with AddressSanitizer and UndefinedBehaviorSanitizer: nothing may crash or leak.
    build build/asan -DCMAKE_BUILD_TYPE=Debug -DENABLE_ASAN=ON -DPIXELVANE_DESKTOP=OFF
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
        ctest --test-dir build/asan --output-on-failure -j2
    ;;
*)
    echo "usage: tools/quickstart.sh run|test" >&2
    exit 2
    ;;
esac
