#!/usr/bin/env bash
# Builds the program and the benchmarks in Release, runs them and prints every figure.
#
# The press and redraw figures come from Google Benchmark (with the fake platform and with the
# real Qt image, offscreen); start-up to the first painted frame and peak memory come from
# startup_probe under an Xvfb of our own, the game, Debian's sgt-samegame and a bare Qt window
# (the floor for any Qt 6 program) taking turns.
# PAWNFALL_STARTUP_RUNS sets how many starts each program gets (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${PAWNFALL_STARTUP_RUNS:-10}

bash tools/setup.sh --test --web
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release -j"$(nproc)" --target pawnfall pawnfall_bench pawnfall_qt_bench \
  startup_probe bare_qt_window cpu_probe
bench=$root/build-release/bench
run_dir=$root/build-release/run

scratch=$(mktemp -d)
xvfb_pid=
cleanup() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
# Qt wants a private runtime folder; a fresh one keeps its warning out of the figures.
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

aggregates=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
# Prints a benchmark's median against its target, from the console report: report file, name
# pattern, target in ms, label.
judge() {
  awk -v pattern="$2" -v target="$3" -v label="$4" '
    $1 ~ pattern && $1 ~ /_median$/ {
      unit = $3
      ms = unit == "us" ? $2 / 1000 : unit == "ns" ? $2 / 1e6 : $2
      name = $1; sub(/_median$/, "", name)
      if (target == "")
        printf "%-30s %-52s %8.3f ms (measured, no target)\n", label, name, ms
      else
        printf "%-30s %-52s %8.3f ms (target <= %s ms): %s\n", label, name, ms, target,
               ms <= target ? "met" : "MISSED"
    }' "$1"
}
echo
echo "== Presses and redraw, fake platform"
"$bench/pawnfall_bench" "${aggregates[@]}" | tee "$scratch/fake.txt"
echo
echo "== Presses and redraw painting the real Qt image, offscreen"
"$bench/pawnfall_qt_bench" "${aggregates[@]}" | tee "$scratch/qt.txt"
echo
judge "$scratch/fake.txt" '^BM_WorstCaseCommit' 2 "worst-case click, fake platform"
judge "$scratch/qt.txt" '^BM_QtWorstCaseCommit/.*zoom:1/' 2 "worst-case click, Qt window"
judge "$scratch/qt.txt" '^BM_QtWorstCaseCommit/.*zoom:[23]/' "" "worst-case click, enlarged"
judge "$scratch/fake.txt" '^BM_FullRedraw' 3 "full redraw, fake platform"
judge "$scratch/qt.txt" '^BM_QtFullRedraw' 3 "full redraw, Qt window"

echo
echo "== Start-up to the first painted frame under Xvfb, $runs runs each, alternating"
# A plain black root, so a window that has not painted yet reads as one colour.
# Xvfb writes its display number to the file once it is ready for clients. The file is made
# first: the background shell may not have opened it yet when the loop below first reads it.
: >"$scratch/display"
Xvfb -displayfd 3 -br -nolisten tcp -screen 0 1280x1024x24 3>"$scratch/display" \
  >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
display=
for _ in $(seq 100); do
  display=$(head -n 1 "$scratch/display")
  [[ -n $display ]] && break
  sleep 0.1
done
if [[ -z $display ]]; then
  echo "Xvfb did not start:" >&2
  cat "$scratch/xvfb.log" >&2
  exit 1
fi
export DISPLAY=:$display

probe() {  # name, directory, command...
  local name=$1 dir=$2
  shift 2
  local line
  if ! line=$("$bench/startup_probe" --dir "$dir" -- "$@"); then
    echo "$name: no painted frame (run left out)"
    return 0
  fi
  echo "$name $line" | tee -a "$scratch/starts"
}
# One fresh folder holding links to the wave files, where the game writes its Pawnfall.ini; the
# dummy audio driver keeps the no-device warning away on machines without sound. The first start
# of each program is not counted: it warms the file cache for both alike, and the game's first
# start in an empty folder also writes the default settings file (with a flush to disk).
game_dir=$scratch/game
same_dir=$scratch/samegame
mkdir "$game_dir" "$same_dir"
for wave in "$run_dir"/*.wav; do ln -s "$wave" "$game_dir/"; done
SDL_AUDIODRIVER=dummy probe first-start-pawnfall "$game_dir" "$run_dir/pawnfall"
probe first-start-sgt-samegame "$same_dir" /usr/games/sgt-samegame
probe first-start-bare-qt-window "$same_dir" "$bench/bare_qt_window"
for _ in $(seq "$runs"); do
  SDL_AUDIODRIVER=dummy probe pawnfall "$game_dir" "$run_dir/pawnfall"
  probe sgt-samegame "$same_dir" /usr/games/sgt-samegame
  probe bare-qt-window "$same_dir" "$bench/bare_qt_window"
done

echo
summary() {  # name, field: prints "median min" of that field over the program's runs
  grep "^$1 " "$scratch/starts" | sed -n "s/.*$2=\([0-9.]*\).*/\1/p" | sort -n |
    awk '{v[NR] = $1} END {
      m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "%.1f %.1f\n", m, v[1]
    }'
}
read -r game_ms game_min < <(summary pawnfall first_frame_ms)
read -r same_ms same_min < <(summary sgt-samegame first_frame_ms)
read -r bare_ms bare_min < <(summary bare-qt-window first_frame_ms)
read -r game_kb _ < <(summary pawnfall peak_rss_kb)
read -r same_kb _ < <(summary sgt-samegame peak_rss_kb)
read -r bare_kb _ < <(summary bare-qt-window peak_rss_kb)
awk -v g="$game_ms" -v gm="$game_min" -v s="$same_ms" -v sm="$same_min" -v b="$bare_ms" \
  -v bm="$bare_min" -v gk="$game_kb" -v sk="$same_kb" -v bk="$bare_kb" 'BEGIN {
  printf "first frame  pawnfall       median %6.1f ms  min %6.1f ms\n", g, gm
  printf "first frame  sgt-samegame   median %6.1f ms  min %6.1f ms\n", s, sm
  printf "first frame  bare Qt window median %6.1f ms  min %6.1f ms\n", b, bm
  printf "pawnfall / bare Qt window, medians: %.2f (target <= 1.15): %s\n", g / b,
         g <= 1.15 * b ? "met" : "MISSED"
  printf "pawnfall / sgt-samegame, medians: %.2f (target <= 0.50): %s\n", g / s,
         g <= s / 2 ? "met" : "MISSED"
  printf "peak RSS     pawnfall       median %6.1f MB (target <= 36 MB): %s\n", gk / 1024,
         gk / 1024 <= 36 ? "met" : "MISSED"
  printf "peak RSS     sgt-samegame   median %6.1f MB\n", sk / 1024
  printf "peak RSS     bare Qt window median %6.1f MB\n", bk / 1024
}'

echo
echo "== Processor time against the wall clock, idle for 3 s and during a 54-step animation"
SDL_AUDIODRIVER=dummy "$run_dir/cpu_probe" --idle-ms 3000 | tee "$scratch/cpu"
sed -n 's/.*idle_cpu_percent=\([0-9.]*\) animating_cpu_percent=\([0-9.]*\).*/\1 \2/p' \
  "$scratch/cpu" | awk '{
  printf "idle CPU       %5.1f %% of wall time (target 0): %s\n", $1, $1 == 0 ? "met" : "MISSED"
  printf "animating CPU  %5.1f %% of wall time (target <= 5 %%): %s\n", $2,
         $2 <= 5 ? "met" : "MISSED"
}'
