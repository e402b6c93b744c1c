#!/usr/bin/env bash
# The program starts and its window titled "Tovalin" shows with the main window's client size;
# then the program is stopped.
set -euo pipefail
: "${TOVALIN_PROGRAM:?the program path}"
: "${TOVALIN_X11CLOSE:?the close helper path}"
. "$(dirname "$0")/lib.sh"
e2e_begin

cd "$RUN_DIR"
"$TOVALIN_PROGRAM" >"$RUN_DIR/out.log" 2>&1 &
PID=$!

if ! WID=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tovalin$' | head -n1) || [ -z "$WID" ]; then
  echo "no window titled Tovalin appeared" >&2
  cat "$RUN_DIR/out.log" >&2 || true
  exit 1
fi
echo "window $WID: $(xdotool getwindowname "$WID")"
kill -0 "$PID"

# The window has the main window's client size.
eval "$(xdotool getwindowgeometry --shell "$WID")"
echo "geometry ${WIDTH}x${HEIGHT}+${X}+${Y}"
if [ "$WIDTH" != 741 ] || [ "$HEIGHT" != 419 ]; then
  echo "unexpected size ${WIDTH}x${HEIGHT}" >&2
  exit 1
fi

sleep 0.3
if [ -n "${TOVALIN_X11SHOT:-}" ]; then
  "$TOVALIN_X11SHOT" "$REPORT/startup.png" || echo "screenshot failed" >&2
fi

# A close request from the window manager either ends the program cleanly or leaves it running
# (closing to the tray); it never crashes it.
"$TOVALIN_X11CLOSE" "$WID" || true
for _ in $(seq 1 20); do
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.1
done
if ! kill -0 "$PID" 2>/dev/null; then
  set +e
  wait "$PID"
  rc=$?
  set -e
  PID=
  if [ "$rc" != 0 ]; then
    echo "the program ended with status $rc after a close request" >&2
    cat "$RUN_DIR/out.log" >&2 || true
    exit 1
  fi
  echo "ok (closed)"
  exit 0
fi

# Still running: stop it.
kill -TERM "$PID"
for _ in $(seq 1 50); do
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$PID" 2>/dev/null; then
  echo "the program did not stop" >&2
  exit 1
fi
wait "$PID" 2>/dev/null || true
PID=
echo "ok (stopped)"
