#!/usr/bin/env bash
# Idle cost of the whole program under Wine: CPU share of one core used by
# ostra.exe beside three stand-in hosts with their skins, by the hosts
# themselves, and by the Wine server and the X server meanwhile.
#
#   ./run shell
#   tests/program/idle-cpu.sh SECONDS [animated|still]...
#
# "still" removes the sample skins' animation files. The observer is this
# script, outside Wine, asleep between two readings of the on-CPU
# nanoseconds in /proc (Wine's GetProcessTimes answers a stale value for
# another process). Figures, not a test: they depend on the machine.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
out=${OSTRA_OUT:-$root/build}
seconds=${1:?seconds}
shift
[ $# -gt 0 ] || set -- animated still

bench="$out/win64/tests/program_bench.exe"
prefix=$(cd "$WINEPREFIX" && pwd)
export OSTRA_BIN_DIR OSTRA_TOOLS_DIR OSTRA_SOURCE_DIR OSTRA_DEPS_DIR OSTRA_TEST_TMP
OSTRA_BIN_DIR=$(winepath -w "$out/win64/bin")
OSTRA_TOOLS_DIR=$(winepath -w "$out/win64/tools")
OSTRA_SOURCE_DIR=$(winepath -w "$root")
OSTRA_DEPS_DIR=$(winepath -w "$out/deps")
mkdir -p "$out/win64/testtmp/program_idle"
OSTRA_TEST_TMP=$(winepath -w "$out/win64/testtmp/program_idle")
settle=3

# shellcheck source=../../tools/proc-cpu.sh
source "$root/tools/proc-cpu.sh"

wineserver -p </dev/null >/dev/null 2>&1 || true
for kind in "$@"; do
  log=$(mktemp)
  wine "$bench" idle $((seconds + settle + 2)) "$kind" </dev/null >"$log" 2>&1 &
  for _ in $(seq 300); do grep -q '^skins:' "$log" && break; sleep 0.1; done
  sleep "$settle"
  ostra=$(of_this_prefix $(pgrep -f 'ostra\.exe'))
  hosts=$(of_this_prefix $(pgrep -f 'ssp\.exe'))
  server=$(server_pid)
  x=$(xserver_pid)
  o0=$(cpu_ns $ostra); h0=$(cpu_ns $hosts); s0=$(cpu_ns $server); x0=$(cpu_ns $x); t0=$(date +%s%N)
  sleep "$seconds"
  o1=$(cpu_ns $ostra); h1=$(cpu_ns $hosts); s1=$(cpu_ns $server); x1=$(cpu_ns $x); t1=$(date +%s%N)
  wall=$((t1 - t0))
  printf '%-8s %s, %ss: ostra %s %%, 3 hosts %s %%, wineserver %s %%, X server %s %%\n' "$kind" \
    "$(head -n 1 "$log")" "$seconds" "$(percent $((o1 - o0)) $wall)" "$(percent $((h1 - h0)) $wall)" \
    "$(percent $((s1 - s0)) $wall)" "$(percent $((x1 - x0)) $wall)"
  wait
  rm -f "$log"
done
