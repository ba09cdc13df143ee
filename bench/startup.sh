#!/usr/bin/env bash
# Start-up as a user meets it, torvane against a bare Qt Widgets program with
# one frameless window of the splash window's size (bench/baseline.cpp), both
# built Release with the same flags: the time from starting the program until
# its first window is mapped on the X server and until it is first drawn, and
# the peak resident memory when the window is mapped and after the program has
# settled for 500 ms. Runs on a private Xvfb display without a window manager,
# the programs in turn, each round starting with the next one.
#   bash bench/startup.sh [rounds] [OTHER]   21 rounds unless given (at least 15)
# OTHER, a torvane built elsewhere (an older commit, say), is measured in the
# same rounds, so that the two builds are compared on one machine at one time.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-21}"
other="${2:-}"
[ "$rounds" -ge 15 ] || { echo "startup.sh: at least 15 rounds" >&2; exit 2; }
[ -z "$other" ] || [ -x "$other" ] || { echo "startup.sh: $other is not a program" >&2; exit 2; }

bash bench/build-bench.sh torvane startup_baseline time_to_map
echo "Reproduce with: bash bench/startup.sh $rounds${other:+ $other}"

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
names=(torvane baseline)
if [ -n "$other" ]; then
  program[other]=$other
  names+=(other)
fi
declare -A mapped=() painted=() mapMemory=() memory=() window=()
measure() {  # measure NAME: one start, its figures appended to its lists
  local line
  line=$(build-bench/bench/time_to_map "${program[$1]}")
  [[ $line =~ map_ms=([0-9.]+)\ paint_ms=([0-9.]+)\ map_peak_kb=([0-9]+)\ peak_rss_kb=([0-9]+)\ window=([0-9x]+) ]] ||
    { echo "startup.sh: $1: $line" >&2; exit 1; }
  mapped[$1]+="${BASH_REMATCH[1]} "
  painted[$1]+="${BASH_REMATCH[2]} "
  mapMemory[$1]+="${BASH_REMATCH[3]} "
  memory[$1]+="${BASH_REMATCH[4]} "
  window[$1]="${BASH_REMATCH[5]}"
}
for name in "${names[@]}"; do measure "$name"; done  # not counted: brings the files into the page cache
mapped=() painted=() mapMemory=() memory=()
for round in $(seq 0 $((rounds - 1))); do
  for i in $(seq 0 $((${#names[@]} - 1))); do measure "${names[$(((round + i) % ${#names[@]}))]}"; done
done

# median and range of a list of numbers
summary() { tr ' ' '\n' | grep . | sort -g | awk '{v[NR] = $1}
  END {printf "%s %s %s", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[1], v[NR]}'; }
echo
echo "Start-up, $rounds runs of each, medians (range); peak resident memory when mapped and after settling:"
for name in "${names[@]}"; do
  read -r m m_lo m_hi <<<"$(summary <<<"${mapped[$name]}")"
  read -r p p_lo p_hi <<<"$(summary <<<"${painted[$name]}")"
  read -r a a_lo a_hi <<<"$(summary <<<"${mapMemory[$name]}")"
  read -r r r_lo r_hi <<<"$(summary <<<"${memory[$name]}")"
  printf '  %-9s mapped %6.1f ms (%.1f..%.1f)   drawn %6.1f ms (%.1f..%.1f)   memory %6d kB (%d..%d), settled %6d kB (%d..%d)   window %s\n' \
    "$name" "$m" "$m_lo" "$m_hi" "$p" "$p_lo" "$p_hi" "$a" "$a_lo" "$a_hi" "$r" "$r_lo" "$r_hi" "${window[$name]}"
  declare "${name}_mapped=$m" "${name}_painted=$p" "${name}_mapMemory=$a" "${name}_memory=$r"
done
# The median of each round's own ratio: the two starts of a round are made
# moments apart, so a busy machine slows both alike.
pairedRatio() {  # pairedRatio LIST LIST
  paste -d' ' <(tr ' ' '\n' <<<"$1" | grep .) <(tr ' ' '\n' <<<"$2" | grep .) | awk '{print $1 / $2}' |
    summary | cut -d' ' -f1
}
ratios() {  # ratios NAME: NAME's figures over the baseline's
  local m="${1}_mapped" p="${1}_painted" a="${1}_mapMemory" r="${1}_memory"
  awk -v name="$1" -v m="${!m}" -v mb="$baseline_mapped" -v p="${!p}" -v pb="$baseline_painted" \
      -v a="${!a}" -v ab="$baseline_mapMemory" -v r="${!r}" -v rb="$baseline_memory" \
      -v pm="$(pairedRatio "${mapped[$1]}" "${mapped[baseline]}")" \
      -v pp="$(pairedRatio "${painted[$1]}" "${painted[baseline]}")" \
    'BEGIN { printf "  %s / baseline: mapped %.3f x, drawn %.3f x, memory when mapped %.3f x, settled %.3f x\n",
             name, m / mb, p / pb, a / ab, r / rb
             printf "  %s / baseline, median of the rounds'"'"' own ratios: mapped %.3f x, drawn %.3f x\n", name, pm, pp }'
}
ratios torvane
[ -z "$other" ] || ratios other
awk -v m="$(pairedRatio "${mapped[torvane]}" "${mapped[baseline]}")" \
    -v p="$(pairedRatio "${painted[torvane]}" "${painted[baseline]}")" \
    -v r="$torvane_memory" -v rb="$baseline_memory" 'function verdict(x, limit) { return x <= limit ? "met" : "MISSED" }
  BEGIN {
    printf "  targets (times by the rounds'"'"' own ratios): mapped within 1.05 x %s, drawn within 1.05 x %s, settled memory within 1.03 x %s\n",
           verdict(m, 1.05), verdict(p, 1.05), verdict(r / rb, 1.03)
  }'
