#!/usr/bin/env bash
# The program starts, its window titled "Tovalin" shows, and the program stops when asked to.
set -euo pipefail
: "${TOVALIN_PROGRAM:?the program path}"
REPORT=${TOVALIN_E2E_REPORT:-${TOVALIN_BUILD_DIR:-.}/e2e-report}
mkdir -p "$REPORT"

RUN_DIR=$(mktemp -d)
PID=
cleanup() {
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
    kill "$PID" 2>/dev/null || true
    sleep 0.5
    kill -9 "$PID" 2>/dev/null || true
  fi
  rm -rf "$RUN_DIR"
}
trap cleanup EXIT

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
echo "ok"
