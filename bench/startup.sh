#!/usr/bin/env bash
# Start-up as a user meets it, torvane against a bare Qt Widgets program with
# one frameless window of the splash window's size (bench/baseline.cpp), both
# built Release with the same flags: the time from starting the program until
# its first window is mapped on the X server and until it is first drawn, and
# the peak resident memory. Runs on a private Xvfb display without a window
# manager, the two programs in turn, each round starting with the other one.
#   bash bench/startup.sh [rounds]      21 rounds unless given (at least 15)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-21}"
[ "$rounds" -ge 15 ] || { echo "startup.sh: at least 15 rounds" >&2; exit 2; }

bash bench/build-bench.sh torvane startup_baseline time_to_map
echo "Reproduce with: bash bench/startup.sh $rounds"

# Xvfb picks a free display and writes its number once it accepts clients.
# Without -noreset it would reset whenever the last client leaves, and a
# program started during the reset could not connect.
scratch=$(mktemp -d)
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$scratch"' EXIT
for _ in $(seq 200); do [ -s "$scratch/display" ] && break; sleep 0.05; done
[ -s "$scratch/display" ] || { echo "startup.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$scratch/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

declare -A program=([torvane]=build-bench/torvane [baseline]=build-bench/bench/startup_baseline)
declare -A mapped=() painted=() memory=() window=()
measure() {  # measure NAME: one start, its figures appended to its lists
  local line
  line=$(build-bench/bench/time_to_map "${program[$1]}")
  [[ $line =~ map_ms=([0-9.]+)\ paint_ms=([0-9.]+)\ peak_rss_kb=([0-9]+)\ window=([0-9x]+) ]] ||
    { echo "startup.sh: $1: $line" >&2; exit 1; }
  mapped[$1]+="${BASH_REMATCH[1]} "
  painted[$1]+="${BASH_REMATCH[2]} "
  memory[$1]+="${BASH_REMATCH[3]} "
  window[$1]="${BASH_REMATCH[4]}"
}
measure torvane  # one start of each, not counted: it brings the files into the page cache
measure baseline
mapped=() painted=() memory=()
for round in $(seq "$rounds"); do
  if [ $((round % 2)) -eq 1 ]; then measure torvane; measure baseline
  else measure baseline; measure torvane; fi
done

# median and range of a list of numbers
summary() { tr ' ' '\n' | grep . | sort -g | awk '{v[NR] = $1}
  END {printf "%s %s %s", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[1], v[NR]}'; }
echo
echo "Start-up, $rounds runs of each, medians (range):"
for name in torvane baseline; do
  read -r m m_lo m_hi <<<"$(summary <<<"${mapped[$name]}")"
  read -r p p_lo p_hi <<<"$(summary <<<"${painted[$name]}")"
  read -r r r_lo r_hi <<<"$(summary <<<"${memory[$name]}")"
  printf '  %-9s mapped %6.1f ms (%.1f..%.1f)   drawn %6.1f ms (%.1f..%.1f)   peak resident %6d kB (%d..%d)   window %s\n' \
    "$name" "$m" "$m_lo" "$m_hi" "$p" "$p_lo" "$p_hi" "$r" "$r_lo" "$r_hi" "${window[$name]}"
  declare "${name}_mapped=$m" "${name}_painted=$p" "${name}_memory=$r"
done
awk -v m="$torvane_mapped" -v mb="$baseline_mapped" -v p="$torvane_painted" -v pb="$baseline_painted" \
    -v r="$torvane_memory" -v rb="$baseline_memory" 'function verdict(x) { return x <= 1.10 ? "met" : "MISSED" }
  BEGIN {
    printf "  torvane / baseline: mapped %.2f x, drawn %.2f x, memory %.2f x\n", m / mb, p / pb, r / rb
    printf "  target within 1.10 x: time to mapped %s, memory %s\n", verdict(m / mb), verdict(r / rb)
  }'
