# Shared by scripts/record-check and bench/recording-runs (source it after session.sh): a real
# console under the session's Xvfb recording the test pattern, driven with xdotool.

# The session's settings file with a recording format, a picture size and a frame period.
recording_settings() { # AVI|MP4 352x288|nativo interval-ms
  local conf="$session_work/config/QUELMAR.conf"
  sed -i -e '/^Formato=/d' -e '/^Imagen=/d' -e "s/^Intervalo=.*/Intervalo=$3/" "$conf"
  printf 'Formato=%s\nImagen=%s\n' "$1" "$2" >>"$conf"
}

# Starts the console in a folder of its own (where its recordings land) and sets
# recording_pid and recording_window.
recording_start_console() { # folder camera
  mkdir -p "$1"
  (cd "$1" && exec "$build/app/marlo-consola" --camera "$2") >"$1/console.log" 2>&1 &
  recording_pid=$!
  session_pids+=("$recording_pid")
  recording_window=""
  local deadline=$((SECONDS + 90))
  while [ "$SECONDS" -lt "$deadline" ] && [ -z "$recording_window" ]; do
    recording_window="$(xdotool search --onlyvisible --name 'Software de control y captura' \
      2>/dev/null | head -n 1)" || true
    kill -0 "$recording_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$recording_window" ] || { echo "the console window did not appear" >&2; return 1; }
  timeout 10 xdotool windowfocus --sync "$recording_window"
  # The first pictures of the pattern before any recording.
  sleep 2
}

recording_key() { # key
  xdotool key --window "$recording_window" "$1"
}

# Clicks on the main window, at the same places as scripts/screenshots.
recording_click() { # x y
  xdotool mousemove --window "$recording_window" "$1" "$2" click 1
  sleep 0.3
}

# The effect and every overlay on.
recording_everything_on() {
  recording_click 648 497 # Mostrar FPS
  recording_click 792 497 # Mostrar Título
  recording_click 648 525 # Mostrar ºC
  recording_click 792 525 # Humedad
  recording_click 792 553 # Activación de efectos
}

recording_stop_console() {
  kill "$recording_pid" 2>/dev/null || true
  wait "$recording_pid" 2>/dev/null || true
}

# Waits until a file has stopped growing for a second.
recording_settled() { # file
  local size=-1
  for _ in $(seq 100); do
    local now
    now=$(stat -c %s "$1" 2>/dev/null || echo 0)
    [ "$now" = "$size" ] && return 0
    size=$now
    sleep 1
  done
  return 1
}

# CPU seconds the process has used so far, every thread included.
recording_cpu_seconds() { # pid
  awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$1/stat"
}

# What ffprobe reads in a recording: codec, width, height, frames read, duration in seconds.
recording_probe() { # file
  ffprobe -v error -select_streams v:0 -count_frames -show_entries \
    stream=codec_name,width,height,nb_read_frames -show_entries format=duration \
    -of default=noprint_wrappers=1:nokey=1 "$1" | paste -sd ' '
}

