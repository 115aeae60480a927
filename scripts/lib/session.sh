# Shared by scripts/run and scripts/screenshots (source it): builds the programs, starts a
# private X display and the robot simulator, and points the console at the simulator through
# a private settings file, so the user's own settings are never touched. Everything started
# here ends with the calling script.

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$root/build/default"
session_work="$(mktemp -d)"
session_pids=()

session_cleanup() {
  for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$session_work"
}
trap session_cleanup EXIT INT TERM

# Builds the named targets of the default tree.
session_build() {
  (cd "$root" && cmake --preset default >/dev/null)
  cmake --build "$build" --target "$@" >/dev/null
}

# Runs a command in the background and ends it with the script.
session_background() {
  "$@" &
  session_pids+=($!)
}

session_wait_for() { # test-arguments...
  for _ in $(seq 100); do test "$@" && return 0; sleep 0.05; done
  return 1
}

# Starts an Xvfb of 1280 x 1024 and exports its DISPLAY.
session_start_display() {
  exec 3>"$session_work/display"
  session_background Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1
  session_wait_for -s "$session_work/display"
  export DISPLAY=":$(cat "$session_work/display")"
}

# Starts marlo-sim with the given extra options and a settings file pointing at it; its
# decoded commands go to the given file, or with "-" to this script's own output (shared,
# not reopened, so nothing else written there is overwritten).
session_start_robot() { # output|- [marlo-sim options...]
  local output=$1
  shift
  if [ "$output" = - ]; then
    session_background "$build/sim/marlo-sim" --link "$session_work/robot" "$@"
  else
    session_background "$build/sim/marlo-sim" --link "$session_work/robot" "$@" >"$output"
  fi
  session_wait_for -e "$session_work/robot"
  mkdir -p "$session_work/config"
  cat >"$session_work/config/QUELMAR.conf" <<CONF
[General]
Puerto%20Comm=$session_work/robot
Cadena="9600,n,8,1"
Retardo=15
Intervalo=100
CONF
  export XDG_CONFIG_HOME="$session_work/config"
}

# Puts the started robot behind ser2net on 127.0.0.1:PORT, with a configuration of its own,
# and points the console's settings at tcp://127.0.0.1:PORT.
session_serve_robot_over_tcp() { # port
  local port=$1
  cat >"$session_work/ser2net.yaml" <<YAML
%YAML 1.1
---
connection: &robot
  accepter: tcp,127.0.0.1,$port
  connector: serialdev,$(readlink -f "$session_work/robot"),9600n81,local
  options:
    kickolduser: true
YAML
  session_background /usr/sbin/ser2net -n -u -c "$session_work/ser2net.yaml" \
    -P "$session_work/ser2net.pid"
  local hex
  hex=$(printf '0100007F:%04X' "$port")
  for _ in $(seq 100); do
    awk -v a="$hex" '$2 == a && $4 == "0A" { found = 1 } END { exit !found }' /proc/net/tcp && break
    sleep 0.05
  done
  sed -i "s|^Puerto%20Comm=.*|Puerto%20Comm=\"tcp://127.0.0.1:$port\"|" \
    "$session_work/config/QUELMAR.conf"
}
