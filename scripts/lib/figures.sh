# Shared by the bench scripts and scripts/record-check (source it after session.sh): the clock,
# the summary of a run's figures, and the delay from a key to the robot.

now_ms() { date +%s%3N; }

# Median and worst of the numbers given.
summary() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {printf "median %s worst %s", v[int((NR+1)/2)], v[NR]}'; }

# Milliseconds from pressing Up to the robot decoding the first byte of its drive command. The
# key goes in through XTest from the process that keeps the clock, so that no tool's start-up
# is counted; the robot's output is read from where it stood before the press.
key_delay() { # window robot-output
  python3 - "$1" "$2" <<'PY'
import ctypes, os, sys, time
x11 = ctypes.CDLL("libX11.so.6")
xtest = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
display = x11.XOpenDisplay(None)
window, robot = int(sys.argv[1]), sys.argv[2]
up = x11.XKeysymToKeycode(display, 0xFF52)
x11.XSetInputFocus(display, window, 1, 0)
x11.XSync(display, 0)
with open(robot, "rb") as output:
    output.seek(0, os.SEEK_END)
    seen = b""
    start = time.monotonic()
    xtest.XTestFakeKeyEvent(display, up, 1, 0)
    x11.XFlush(display)
    while b"motor 1 sense A" not in seen and time.monotonic() - start < 5:
        time.sleep(0.0005)
        seen += output.read()
    print(round((time.monotonic() - start) * 1000))
xtest.XTestFakeKeyEvent(display, up, 0, 0)
x11.XSync(display, 0)
time.sleep(0.15)
PY
}
