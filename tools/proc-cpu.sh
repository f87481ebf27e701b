# Sourced by the idle-cost scripts (tests/*/idle-cpu.sh): CPU time of Wine
# processes read from /proc by an observer outside Wine that sleeps between
# two readings (a watcher that woke often would itself make Wine's GUI
# processes work, and Wine's GetProcessTimes answers a stale value for
# another process). Needs 'prefix' set to the Wine prefix's real path.

# Nanoseconds on a CPU of every thread of every process given.
cpu_ns() {
  local sum=0 p t ns
  for p in "$@"; do
    for t in /proc/"$p"/task/*/schedstat; do
      read -r ns _ <"$t" 2>/dev/null && sum=$((sum + ns))
    done
  done
  echo "$sum"
}

# Processes of this prefix only: other checkouts on the machine run their own.
of_this_prefix() {
  local p
  for p in "$@"; do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" && echo "$p"
  done
  return 0
}

# The Wine server of this prefix.
server_pid() {
  local id p
  id="server-$(stat -c '%D' "$prefix")-$(printf '%x' "$(stat -c '%i' "$prefix")")"
  for p in $(pgrep -u "$(id -u)" wineserver); do
    case $(readlink "/proc/$p/cwd") in *"/$id") echo "$p" ;; esac
  done
}

# The X server of $DISPLAY.
xserver_pid() {
  pgrep -f "^Xvfb ${DISPLAY} " | head -n 1
}

# Nanoseconds over wall nanoseconds, in percent of one core.
percent() {
  awk -v n="$1" -v w="$2" 'BEGIN { printf "%.2f", 100 * n / w }'
}
