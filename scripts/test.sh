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
  local report=$dir/Testing/junit.xml status=0
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300 --output-junit "$report" \
    "$@" || status=$?
  if [ "${CI:-}" = true ] && grep -q '<skipped' "$report"; then
    echo "tests skipped under CI (a test that cannot run is a failure here):" >&2
    grep -o '<testcase name="[^"]*"[^>]*status="notrun"' "$report" | sed 's/ status=.*//' >&2
    status=1
  fi
  return "$status"
}

# Each stage reports its wall time and the CPU time of everything it ran (user + sys of the
# compilers, linkers and tests it waited for): on a shared machine only the CPU time compares.
stage() {  # <name> <command...>
  local name=$1
  shift
  local TIMEFORMAT="stage $name: %0R s wall, %0U s user, %0S s sys"
  time "$@"
}

# Tests mostly wait (on sound servers, sockets, timers, child processes), so a stage's tests run
# in the background while the next stages build; one test run at a time, its output shown
# when it is collected. A run still going when the script ends (a build failed) is collected
# then, so its result is never lost. The run is detached from this shell (its status comes back
# in a file): the CPU time of a process this shell reaps would count in whichever stage is
# being timed at that moment.
tests_log=
tests_status=
start_tests() {  # <stage name> <build folder> <ctest options...>
  finish_tests
  mkdir -p "$2/Testing"
  tests_log=$2/Testing/$1.log
  tests_status=$2/Testing/$1.status
  rm -f "$tests_status"
  ( (
    status=0
    stage "$1" run_tests "${@:2}" >"$tests_log" 2>&1 || status=$?
    echo "$status" >"$tests_status.new" && mv "$tests_status.new" "$tests_status"
  ) &)
}
finish_tests() {
  [ -n "$tests_status" ] || return 0
  while [ ! -f "$tests_status" ]; do sleep 1; done
  cat "$tests_log"
  local status
  status=$(cat "$tests_status")
  tests_status=
  return "$status"
}
trap 'finish_tests || true' EXIT

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# 1. Sanitizers over everything but the long tests; the tests run while steps 2 and 3 build.
build=${VK2_BUILD_DIR:-$root/build-ci}
stage asan-configure configure "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1" \
  -DVK2_SANITIZE=ON -DVK2_BUILD_BENCH=ON
stage asan-build cmake --build "$build" -j "$jobs"
start_tests asan-tests "$build" -LE long

# 2. The long tests at full speed. Only what they run is built here: the benchmarks were
#    built in step 1, which is all CI does with them.
release=${VK2_RELEASE_BUILD_DIR:-$root/build-release}
stage release-configure configure "$release" -DCMAKE_BUILD_TYPE=Release -DVK2_BUILD_BENCH=OFF
stage release-build cmake --build "$release" -j "$jobs" --target vk2_long_tests

# 3. The stress tests again under ThreadSanitizer, built on their own.
tsan=${VK2_TSAN_BUILD_DIR:-$root/build-tsan}
stage tsan-configure configure "$tsan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1" \
  -DVK2_TSAN=ON
stage tsan-build cmake --build "$tsan" -j "$jobs" --target vk2_stress_tests

# The long tests run while the fuzz targets build.
finish_tests
start_tests release-tests "$release" -L long

# 4. The fuzz targets: built, then run over their seeds once the stress tests are done.
stage fuzz-build "$root/scripts/fuzz.sh" build
finish_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 stage tsan-tests run_tests "$tsan" -L stress
stage fuzz-smoke "$root/scripts/fuzz.sh" smoke
