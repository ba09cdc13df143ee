#!/usr/bin/env bash
# Builds and runs a benchmark; each prints its figures and how to get them again.
#   bash bench/run.sh core [Google Benchmark options]   the arithmetic, per call
#   bash bench/run.sh commands [runs]                    the calculator's commands, offscreen
#   bash bench/run.sh startup [runs]                     start-up against a bare Qt program
set -euo pipefail
cd "$(dirname "$0")/.."
what="${1:-}"
shift || true
case "$what" in
  core)
    bash bench/build-bench.sh bench_core
    exec build-bench/bench/bench_core "$@"
    ;;
  commands)
    bash bench/build-bench.sh bench_commands
    exec build-bench/bench/bench_commands "$@"
    ;;
  startup)
    exec bash bench/startup.sh "$@"
    ;;
  *)
    echo "usage: bash bench/run.sh core|commands|startup [arguments]" >&2
    exit 2
    ;;
esac
