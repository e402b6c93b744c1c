#!/usr/bin/env bash
# Runs a command on a private X display: its own Xvfb (1280x800, 24 bits), a D-Bus session and
# the tray host trayer. Everything it started is stopped again, whatever happens.
# Usage: run_x11.sh CMD [ARGS...]
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
  # Second stage, inside the D-Bus session, with DISPLAY set.
  shift
  echo $$ >"$TOVALIN_X11_WORK/inner.pid"
  TRAYER_PID=
  cleanup_inside() {
    if [ -n "$TRAYER_PID" ]; then
      kill "$TRAYER_PID" 2>/dev/null || true
      wait "$TRAYER_PID" 2>/dev/null || true
    fi
  }
  trap cleanup_inside EXIT
  if command -v trayer >/dev/null 2>&1; then
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
      --transparent false >/dev/null 2>&1 &
    TRAYER_PID=$!
  fi
  "$@" &
  CMD_PID=$!
  trap 'kill "$CMD_PID" 2>/dev/null; wait "$CMD_PID" 2>/dev/null; exit 143' TERM INT
  set +e
  wait "$CMD_PID"
  rc=$?
  set -e
  exit "$rc"
fi

if [ $# -eq 0 ]; then
  echo "usage: $0 CMD [ARGS...]" >&2
  exit 2
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tovalin-x11.XXXXXX")
XVFB_PID=
CHILD_PID=
cleanup() {
  if [ -n "$CHILD_PID" ]; then
    # Stop the command through the inner stage, so that dbus-run-session ends its bus itself.
    if [ -s "$WORK/inner.pid" ]; then kill -TERM "$(cat "$WORK/inner.pid")" 2>/dev/null || true; fi
    for _ in $(seq 1 50); do
      kill -0 "$CHILD_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$CHILD_PID" 2>/dev/null || true
    wait "$CHILD_PID" 2>/dev/null || true
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Xvfb picks a free display number itself and writes it to the descriptor we give it.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!

DISPLAY_NUM=
for _ in $(seq 1 200); do
  if [ -s "$WORK/display" ]; then
    DISPLAY_NUM=$(head -n1 "$WORK/display")
    break
  fi
  if ! kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
  sleep 0.05
done
if [ -z "$DISPLAY_NUM" ]; then
  echo "run_x11: Xvfb did not start" >&2
  cat "$WORK/xvfb.log" >&2 || true
  exit 1
fi
export DISPLAY=":$DISPLAY_NUM"

ready=0
for _ in $(seq 1 200); do
  if xdpyinfo >/dev/null 2>&1; then
    ready=1
    break
  fi
  sleep 0.05
done
if [ "$ready" != 1 ]; then
  echo "run_x11: display $DISPLAY does not answer" >&2
  exit 1
fi

export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# Keep the session's own settings out of the run.
export XDG_CONFIG_HOME="$WORK/config"
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

export TOVALIN_X11_WORK="$WORK"
# In the background, so that a signal to this script runs the clean-up at once.
dbus-run-session -- bash "$0" --inside "$@" &
CHILD_PID=$!
set +e
wait "$CHILD_PID"
rc=$?
set -e
CHILD_PID=
exit "$rc"
