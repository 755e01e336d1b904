#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them.
#   fuzz.sh build          builds every target
#   fuzz.sh smoke [SECS]   every target for SECS seconds (5) over its seeds, nproc at a time (CI)
#   fuzz.sh run NAME SECS  one target for SECS seconds, corpus kept under build-fuzz/corpus/NAME
# A run fails on a non-zero exit and on any sanitizer report in its output. One allocation above
# the malloc limit fails it too: no size read from input may drive a large allocation.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VK2_FUZZ_BUILD_DIR:-$root/build-fuzz}
malloc_limit_mb=256
# A single input running longer than this is a hang.
input_timeout_s=25

build_targets() {
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1" -DVK2_BUILD_TESTS=OFF -DVK2_BUILD_FUZZ=ON -DVK2_WERROR=ON \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
  cmake --build "$build" -j "$(nproc)" --target fuzz_all
}

run_one() {
  local name=$1 secs=$2 corpus="$build/corpus/$1"
  mkdir -p "$corpus"
  local seeds=()
  [ -d "$root/fuzz/seeds/$name" ] && seeds=("$root/fuzz/seeds/$name")
  local log="$build/corpus/$name.log"
  # A target may need options of its own, one a line, in fuzz/NAME.options ("#" comments).
  local options=()
  if [ -f "$root/fuzz/$name.options" ]; then
    mapfile -t options < <(grep -v -e '^#' -e '^$' "$root/fuzz/$name.options")
  fi
  local status=0
  LSAN_OPTIONS="suppressions=$root/fuzz/lsan_suppressions.txt" "$build/bin/fuzz_$name" \
    -max_total_time="$secs" -malloc_limit_mb="$malloc_limit_mb" -timeout="$input_timeout_s" \
    -artifact_prefix="$build/corpus/$name-" "${options[@]}" "$corpus" "${seeds[@]}" >"$log" 2>&1 ||
    status=$?
  if [ "$status" -eq 0 ] && ! grep -qE 'ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error:|SUMMARY: ' "$log"; then
    echo "fuzz_$name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" | tail -n 1)"
  else
    tail -n 40 "$log"
    echo "fuzz_$name: FAILED (exit $status, log: $log)"
    return 1
  fi
}

case "${1:-smoke}" in
  smoke)
    build_targets
    secs=${2:-5}
    failed=0
    mkdir -p "$build/corpus"
    rm -f "$build/corpus/failed.txt"
    names=()
    for exe in "$build"/bin/fuzz_*; do names+=("${exe##*/fuzz_}"); done
    # Each job prints its own lines when it ends; the failures are counted afterwards.
    export -f run_one
    export build root malloc_limit_mb input_timeout_s
    # shellcheck disable=SC2016 # the inner shell expands its own arguments
    printf '%s\n' "${names[@]}" |
      xargs -P "$(nproc)" -I{} bash -c 'run_one "$1" "$2" || echo "$1" >>"$3"' _ {} "$secs" \
        "$build/corpus/failed.txt" || true
    if [ -s "$build/corpus/failed.txt" ]; then
      echo "fuzz smoke: $(wc -l <"$build/corpus/failed.txt") of ${#names[@]} targets FAILED:" \
        "$(tr '\n' ' ' <"$build/corpus/failed.txt")"
      failed=1
    else
      echo "fuzz smoke: all ${#names[@]} targets passed"
    fi
    exit "$failed"
    ;;
  build)
    build_targets
    ;;
  run)
    build_targets
    run_one "$2" "$3"
    ;;
  *)
    echo "usage: fuzz.sh build | smoke [SECS] | run NAME SECS" >&2
    exit 2
    ;;
esac
