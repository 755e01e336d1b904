#!/usr/bin/env bash
# The test command: installs what it needs, builds everything with warnings as errors and with
# AddressSanitizer and UndefinedBehaviorSanitizer, runs every test through CTest, runs the stress
# tests again under ThreadSanitizer, then builds the fuzz targets with clang and runs each briefly
# over its seed corpus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VK2_BUILD_DIR:-$root/build-ci}
jobs=$(nproc)

"$root/scripts/install-deps.sh"
[ -x "$root/scripts/start-test-services.sh" ] && . "$root/scripts/start-test-services.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1" \
  -DVK2_SANITIZE=ON -DVK2_WERROR=ON -DVK2_BUILD_BENCH=ON
cmake --build "$build" -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300

# The stress tests again under ThreadSanitizer, built on their own.
tsan=${VK2_TSAN_BUILD_DIR:-$root/build-tsan}
cmake -S "$root" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1" \
  -DVK2_TSAN=ON -DVK2_WERROR=ON >/dev/null
cmake --build "$tsan" -j "$jobs" --target vk2_stress_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir "$tsan" -L stress --output-on-failure -j "$jobs" --timeout 300

"$root/scripts/fuzz.sh" smoke
