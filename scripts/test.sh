#!/usr/bin/env bash
# The test command: installs what it needs, starts the test services, then
#  1. builds everything, benchmarks included, with warnings as errors, AddressSanitizer and
#     UndefinedBehaviorSanitizer, and runs every test but the long ones through CTest;
#  2. builds the long tests in a Release build and runs them there;
#  3. builds the stress tests with ThreadSanitizer and runs them again;
#  4. builds the fuzz targets with clang and runs each briefly over its seed corpus.
# Every build compiles through ccache. Under CI (CI=true) a test that skipped itself fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh"
. "$root/scripts/start-test-services.sh"

# The cache lives outside the clone (unless ccache is configured already), and paths under the
# clone are hashed relative to it, so a fresh clone elsewhere hits what earlier builds made.
export CCACHE_BASEDIR=$root
export CCACHE_NOHASHDIR=1
# The compiler's own dependency list stands in for a second preprocessor run on every miss.
export CCACHE_DEPEND=1
if [ -z "${CCACHE_DIR:-}" ] && ccache -p | grep -q '^(default) cache_dir '; then
  export CCACHE_DIR=/var/cache/velkora2-ccache
  mkdir -p "$CCACHE_DIR" 2>/dev/null || export CCACHE_DIR=${XDG_CACHE_HOME:-$HOME/.cache}/velkora2-ccache
fi

configure() {  # <build folder> <cmake options...>
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja -DVK2_WERROR=ON -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache "$@" >/dev/null
}

# Runs CTest in <build folder> with the remaining arguments. CTest reports a test that skipped
# itself as not run and still passes; under CI such a test fails the run.
run_tests() {  # <build folder> <ctest options...>
  local dir=$1
  shift
  local report=$dir/Testing/junit.xml
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300 --output-junit "$report" "$@"
  if [ "${CI:-}" = true ] && grep -q '<skipped' "$report"; then
    echo "tests skipped under CI (a test that cannot run is a failure here):" >&2
    grep -o '<testcase name="[^"]*"[^>]*status="notrun"' "$report" | sed 's/ status=.*//' >&2
    return 1
  fi
}

# Each stage reports its wall time and the CPU time of everything it ran (user + sys of the
# compilers, linkers and tests it waited for): on a shared machine only the CPU time compares.
stage() {  # <name> <command...>
  local name=$1
  shift
  local TIMEFORMAT="stage $name: %0R s wall, %0U s user, %0S s sys"
  time "$@"
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The sanitized builds optimise with -Og: it keeps what makes -O1 fast enough for sanitized tests
# (inlining of small functions, register allocation) and compiles in about two thirds the time.
sanitized_flags=-Og

# 1. Sanitizers over everything but the long tests.
build=${VK2_BUILD_DIR:-$root/build-ci}
stage asan-configure configure "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$sanitized_flags" -DVK2_SANITIZE=ON \
  -DVK2_BUILD_BENCH=ON
stage asan-build cmake --build "$build" -j "$jobs"
stage asan-tests run_tests "$build" -LE long

# 2. The long tests at full speed. Only what they run is built here: the benchmarks were
#    built in step 1, which is all CI does with them.
release=${VK2_RELEASE_BUILD_DIR:-$root/build-release}
stage release-configure configure "$release" -DCMAKE_BUILD_TYPE=Release -DVK2_BUILD_BENCH=OFF
stage release-build cmake --build "$release" -j "$jobs" --target vk2_long_tests
stage release-tests run_tests "$release" -L long

# 3. The stress tests again under ThreadSanitizer, built on their own.
tsan=${VK2_TSAN_BUILD_DIR:-$root/build-tsan}
stage tsan-configure configure "$tsan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$sanitized_flags" \
  -DVK2_TSAN=ON
stage tsan-build cmake --build "$tsan" -j "$jobs" --target vk2_stress_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 stage tsan-tests run_tests "$tsan" -L stress

# 4. The fuzz targets over their seeds.
stage fuzz-build "$root/scripts/fuzz.sh" build
stage fuzz-smoke "$root/scripts/fuzz.sh" smoke
