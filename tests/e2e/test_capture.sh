#!/usr/bin/env bash
# Capture on a real X server: the root window shows a pattern whose every pixel tells its
# position. F7 lays the overlay over the whole screen; a drag from (100,100) to (300,250) puts a
# 200 x 150 picture of exactly that part of the pattern into the main window; F7 twice puts the
# whole screen there, scrollable to its last pixel in both directions (both ranges are the
# screen's size); click, move, click grabs the same region as the drag.
set -euo pipefail
: "${TOVALIN_PROGRAM:?the program path}"
: "${TOVALIN_X11SHOT:?the screenshot helper path}"
: "${TOVALIN_X11PATTERN:?the pattern helper path}"
. "$(dirname "$0")/lib.sh"
e2e_begin capture

fail() {
  echo "FAIL: $*" >&2
  cat "$RUN_DIR/out.log" >&2 2>/dev/null || true
  exit 1
}

shot() { "$TOVALIN_X11SHOT" "$REPORT/$1.png" || fail "screenshot $1"; }

# shot_until NAME MODE ARGS...: screenshots until the pattern helper's check passes (the program
# may still be painting), at most for about five seconds.
shot_until() {
  local name=$1 mode=$2
  shift 2
  for _ in $(seq 1 20); do
    shot "$name"
    "$TOVALIN_X11PATTERN" "$mode" "$REPORT/$name.png" "$@" 2>"$RUN_DIR/check.err" && return 0
    sleep 0.25
  done
  cat "$RUN_DIR/check.err" >&2
  return 1
}

overlay_visible() { xdotool search --onlyvisible --name '^ScreenWindow$' 2>/dev/null | head -n1; }

wait_overlay_shown() {
  for _ in $(seq 1 100); do
    OVERLAY=$(overlay_visible) && [ -n "$OVERLAY" ] && return 0
    sleep 0.05
  done
  fail "the overlay did not show"
}

wait_overlay_gone() {
  for _ in $(seq 1 100); do
    [ -z "$(overlay_visible)" ] && { sleep 0.5; return 0; }
    sleep 0.05
  done
  fail "the overlay did not go away"
}

# The main window's picture area: Image1 at the scroll panel's top-left inside its 2-pixel border.
picture_origin() {
  eval "$(xdotool getwindowgeometry --shell "$WID")"
  PX=$((X + 2))
  PY=$((Y + 29 + 2))
}

read -r SW SH < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
echo "screen ${SW}x${SH}"
"$TOVALIN_X11PATTERN" root || fail "cannot put the pattern on the root window"
shot pattern
# All but the tray host's strip at the top right.
"$TOVALIN_X11PATTERN" check "$REPORT/pattern.png" 0 0 $((SW - 10)) "$SH" 0 0 &&
  "$TOVALIN_X11PATTERN" check "$REPORT/pattern.png" $((SW - 10)) 30 10 $((SH - 30)) $((SW - 10)) 30 ||
  fail "the root window does not show the pattern"

cd "$RUN_DIR"
"$TOVALIN_PROGRAM" >"$RUN_DIR/out.log" 2>&1 &
PID=$!
WID=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tovalin$' | head -n1) || true
[ -n "$WID" ] || fail "no window titled Tovalin appeared"
sleep 0.5
# Out of the way of the regions grabbed below, yet whole on the screen.
xdotool windowmove "$WID" 520 360
sleep 0.5
picture_origin
echo "main window at $X,$Y ${WIDTH}x${HEIGHT}"
[ "$X" = 520 ] && [ "$Y" = 360 ] || fail "the main window did not move"

# ---- F7: the overlay covers the screen, the pattern shows through the silver layer ----------
xdotool key F7
wait_overlay_shown
eval "$(xdotool getwindowgeometry --shell "$OVERLAY")"
echo "overlay at $X,$Y ${WIDTH}x${HEIGHT}"
[ "$X" = 0 ] && [ "$Y" = 0 ] && [ "$WIDTH" = "$SW" ] && [ "$HEIGHT" = "$SH" ] || fail "the overlay does not cover the screen"
for block in "0 0 500 350" "1262 30 $((SW - 1262)) $((SH - 30))" "0 360 520 $((SH - 360))"; do
  # shellcheck disable=SC2086
  shot_until overlay blended $block 150 c0c0c0 || fail "the overlay is not silver at 150/255 over $block"
done

# ---- a drag from (100,100) to (300,250) --------------------------------------------------------
xdotool mousemove 100 100
sleep 0.2
xdotool mousedown 1
sleep 0.1
xdotool mousemove 200 175
sleep 0.1
xdotool mousemove 300 250
sleep 0.3
shot overlay-drag
xdotool mouseup 1
wait_overlay_gone
xdotool mousemove 10 10
picture_origin
shot_until capture-drag check "$PX" "$PY" 200 150 100 100 || fail "the dragged region is not in the main window"
# Exactly 200 x 150: the panel's background lies right of and under the picture.
if "$TOVALIN_X11PATTERN" check "$REPORT/capture-drag.png" $((PX + 200)) "$PY" 1 1 300 100 2>/dev/null ||
   "$TOVALIN_X11PATTERN" check "$REPORT/capture-drag.png" "$PX" $((PY + 150)) 1 1 100 250 2>/dev/null; then
  fail "the picture is larger than 200 x 150"
fi
ls "$RUN_DIR" | grep -q '^screenshot' && fail "temporary files were left: $(ls "$RUN_DIR")"

# ---- F7 twice: the whole screen ----------------------------------------------------------------
xdotool key F7
wait_overlay_shown
sleep 0.3
xdotool key F7
wait_overlay_gone
picture_origin
# Both bars show: the visible part is 721 x 370. The main window was on the screen at (520, 360).
shot_until capture-full check "$PX" "$PY" 500 350 0 0 || fail "the full screen is not in the main window"
# Scroll both ways as far as the bars go: with ranges equal to the screen's size, the screen's
# last column and row end exactly at the visible part's right and bottom edge.
for _ in 1 2 3; do
  xdotool mousemove $((PX + 721 - 16 - 3)) $((PY + 370 + 8)) click 1
  sleep 0.15
  xdotool mousemove $((PX + 721 + 8)) $((PY + 370 - 16 - 3)) click 1
  sleep 0.15
done
xdotool mousemove 10 10
# (The settings toggle covers the panel's top-right corner: start below it.)
shot_until capture-full-scrolled check $((PX + 721 - 15)) $((PY + 29)) 15 341 $((SW - 15)) $((SH - 341)) ||
  fail "scrolled to the end, the screen's right and bottom edge are not at the panel's edges"

# ---- click, move, click ------------------------------------------------------------------------
xdotool key F7
wait_overlay_shown
xdotool mousemove 100 100
sleep 0.2
xdotool click 1
sleep 0.6
[ -n "$(overlay_visible)" ] || fail "a single click took the overlay away"
xdotool mousemove 200 175
sleep 0.1
xdotool mousemove 300 250
sleep 0.6
shot overlay-click-move
xdotool click 1
wait_overlay_gone
xdotool mousemove 10 10
picture_origin
shot_until capture-click check "$PX" "$PY" 200 150 100 100 || fail "click, move, click did not grab the region"
ls "$RUN_DIR" | grep -q '^screenshot' && fail "temporary files were left: $(ls "$RUN_DIR")"

kill -0 "$PID" || fail "the program ended"
kill -TERM "$PID"
for _ in $(seq 1 50); do
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.1
done
wait "$PID" 2>/dev/null || true
PID=
echo "ok"
