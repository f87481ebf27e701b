#!/usr/bin/env bash
# Idle cost of surface players under Wine: CPU share of one core used by a
# process in which PLAYERS windows play surface 0 of a skin, and what the
# Wine server and the X server spend on its behalf meanwhile.
#
#   ./run shell            (the tests' Wine prefix and display)
#   tests/surfaces/idle-cpu.sh SECONDS PLAYERS FOLDER...
#
# The observer is this script, outside Wine, asleep between two readings of
# the on-CPU nanoseconds in /proc: a watcher that woke often would itself
# make Wine's GUI processes work (and Wine's GetProcessTimes answers 0 for
# another process). Figures, not a test: they depend on the machine.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
out=${OSTRA_OUT:-$root/build}
seconds=${1:?seconds}
players=${2:?players}
shift 2

export WINEPATH
WINEPATH=$(winepath -w "$out/win64/bin")
bench="$out/win64/tests/surfaces_bench.exe"
prefix=$(cd "$WINEPREFIX" && pwd)
settle=3

# shellcheck source=../../tools/proc-cpu.sh
source "$root/tools/proc-cpu.sh"

wineserver -p </dev/null >/dev/null 2>&1 || true
for folder in "$@"; do
  wfolder=$(winepath -w "$folder")
  wine "$bench" hold "$wfolder" "$players" $((seconds + settle + 2)) </dev/null >/dev/null 2>&1 &
  sleep "$settle"
  pid=$(of_this_prefix $(pgrep -f "surfaces_bench.exe hold") | tail -n 1)
  server=$(server_pid)
  x=$(xserver_pid)
  if [ -z "$pid" ]; then
    echo "$folder: the playing process did not start" >&2
    wait
    continue
  fi
  p0=$(cpu_ns "$pid"); s0=$(cpu_ns "$server"); x0=$(cpu_ns "$x"); t0=$(date +%s%N)
  sleep "$seconds"
  p1=$(cpu_ns "$pid"); s1=$(cpu_ns "$server"); x1=$(cpu_ns "$x"); t1=$(date +%s%N)
  wall=$((t1 - t0))
  printf '%-10s %2d player(s) %ss: process %s %%, wineserver %s %%, X server %s %%\n' \
    "$(basename "$folder")" "$players" "$seconds" "$(percent $((p1 - p0)) $wall)" \
    "$(percent $((s1 - s0)) $wall)" "$(percent $((x1 - x0)) $wall)"
  wait
done
