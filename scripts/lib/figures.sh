# Shared by the bench scripts and scripts/record-check (source it after session.sh): the clock,
# the summary of a run's figures, and the delay from a key to the robot.

now_ms() { date +%s%3N; }

# Median and worst of the numbers given.
summary() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {printf "median %s worst %s", v[int((NR+1)/2)], v[NR]}'; }

# Milliseconds from pressing Up to the robot decoding its drive command.
key_delay() { # window robot-output
  local before start
  before=$(grep -c 'motor 1 sense A' "$2" || true)
  start=$(now_ms)
  xdotool keydown --window "$1" Up
  while [ "$(grep -c 'motor 1 sense A' "$2" || true)" -le "$before" ]; do
    [ $(( $(now_ms) - start )) -lt 5000 ] || break
    sleep 0.002
  done
  echo $(( $(now_ms) - start ))
  xdotool keyup --window "$1" Up
  sleep 0.15
}
