#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ and runs each for a bounded time,
# starting from its seed corpus in fuzz/corpus/<target>/ (left unchanged).
# New inputs gather in build-fuzz/corpus/<target>/, and an input that breaks
# a target is kept in build-fuzz/artifacts/.
#   bash fuzz/run.sh [seconds]      seconds per target, 60 unless given
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
targets=(text_to_number format_round_trip)

bash tools/install-packages.sh cmake ninja-build clang libclang-rt-14-dev libfast-float-dev
werror=OFF
[ "${CI:-}" = true ] && werror=ON
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
  -DTORVANE_BUILD_FUZZ=ON -DTORVANE_BUILD_TESTS=OFF -DTORVANE_GUI=OFF -DTORVANE_WERROR="$werror" >/dev/null
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"

mkdir -p build-fuzz/artifacts
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$target"
  log="build-fuzz/$target.log"
  echo "Fuzzing $target for $seconds s (log: $log)"
  if ! "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/artifacts/$target-" \
      "build-fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz_$target failed; the input is in build-fuzz/artifacts/. Run it again with:"
    echo "  build-fuzz/fuzz/fuzz_$target build-fuzz/artifacts/$target-<name>"
    exit 1
  fi
  grep -E '^#[0-9]+[[:space:]]+DONE' "$log"
done
