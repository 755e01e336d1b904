#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one.
#   fuzz.sh smoke          every target for a few seconds over its seed corpus (CI)
#   fuzz.sh run NAME SECS  one target for SECS seconds, corpus kept under build-fuzz/corpus/NAME
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VK2_FUZZ_BUILD_DIR:-$root/build-fuzz}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1" -DVK2_BUILD_TESTS=OFF -DVK2_BUILD_FUZZ=ON -DVK2_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_all
run_one() {
  local name=$1 secs=$2 corpus="$build/corpus/$1"
  mkdir -p "$corpus"
  local seeds=()
  [ -d "$root/fuzz/seeds/$name" ] && seeds=("$root/fuzz/seeds/$name")
  local log="$build/corpus/$name.log"
  if "$build/bin/fuzz_$name" -max_total_time="$secs" -artifact_prefix="$build/corpus/$name-" \
    "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    echo "fuzz_$name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" | tail -n 1)"
  else
    tail -n 40 "$log"
    echo "fuzz_$name: FAILED (log: $log)"
    return 1
  fi
}
case "${1:-smoke}" in
  smoke) for exe in "$build"/bin/fuzz_*; do run_one "${exe##*/fuzz_}" 5; done ;;
  run) run_one "$2" "$3" ;;
esac
