#!/usr/bin/env bash
# The editor on a real X server: a region is captured, a line is drawn with the pen by a mouse
# drag, and the picture is saved through the file dialog by typing a name without extension;
# NAME.jpg then exists and, decoded with djpeg, shows the red line where it was drawn. Saving
# into a folder nobody can create files in shows the message box
# "Saving file error #1" and leaves the picture as it was. (The folder is a path under a regular
# file: that fails for root as well, where a folder without write permission would not.) Then a
# text stamp is recorded as one stroke although its input box takes the release of the press:
# Undo takes away the stamp, and a second Undo the line.
set -euo pipefail
: "${TOVALIN_PROGRAM:?the program path}"
: "${TOVALIN_X11SHOT:?the screenshot helper path}"
. "$(dirname "$0")/lib.sh"
e2e_begin editor

fail() {
  echo "FAIL: $*" >&2
  "$TOVALIN_X11SHOT" "$REPORT/failure.png" 2>/dev/null || true
  cat "$RUN_DIR/out.log" >&2 2>/dev/null || true
  exit 1
}

shot() { "$TOVALIN_X11SHOT" "$REPORT/$1.png" || fail "screenshot $1"; }

overlay_visible() { xdotool search --onlyvisible --name '^ScreenWindow$' 2>/dev/null | head -n1; }

wait_overlay() {  # shown | gone
  for _ in $(seq 1 100); do
    if [ "$1" = shown ]; then [ -n "$(overlay_visible)" ] && return 0; else [ -z "$(overlay_visible)" ] && return 0; fi
    sleep 0.05
  done
  fail "the overlay is not $1"
}

# Visible top-level windows other than the main window and the overlay.
other_windows() {
  local w
  for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    [ "$w" = "$WID" ] && continue
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = ScreenWindow ] && continue
    eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)" || continue
    [ "${WIDTH:-0}" -gt 100 ] && [ "${HEIGHT:-0}" -gt 40 ] && echo "$w"
  done
}

wait_new_window() {
  for _ in $(seq 1 100); do
    NEW=$(other_windows | head -n1)
    [ -n "$NEW" ] && return 0
    sleep 0.05
  done
  fail "no $1 appeared"
}

wait_no_new_window() {
  for _ in $(seq 1 100); do
    [ -z "$(other_windows)" ] && return 0
    sleep 0.05
  done
  fail "the $1 did not close"
}

# The main window's picture: Image1 at the scroll panel's top-left inside its 2-pixel border.
picture_origin() {
  eval "$(xdotool getwindowgeometry --shell "$WID")"
  WX=$X
  WY=$Y
  PX=$((X + 2))
  PY=$((Y + 29 + 2))
}

click_at() {
  xdotool mousemove "$1" "$2"
  sleep 0.15
  xdotool click 1
  sleep 0.3
}

# Types a file name into the save dialog and confirms it.
save_as() {
  click_at $((WX + 500 + 37)) $((WY + 2 + 10))  # "Save Image"
  wait_new_window "save dialog"
  echo "save dialog: $(xdotool getwindowname "$NEW")"
  xdotool windowactivate --sync "$NEW" 2>/dev/null || xdotool windowfocus --sync "$NEW" 2>/dev/null || true
  sleep 0.5
  # The field starts with the last name selected: typing replaces it. Slowly, for the field's
  # completer, which pops up while the folder's entries load.
  xdotool key ctrl+a
  sleep 0.1
  xdotool type --delay 120 "$1"
  sleep 0.5
  sleep 0.3
  xdotool key Return
}

cd "$RUN_DIR"
mkdir saved
"$TOVALIN_PROGRAM" >"$RUN_DIR/out.log" 2>&1 &
PID=$!
WID=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tovalin$' | head -n1) || true
[ -n "$WID" ] || fail "no window titled Tovalin appeared"
sleep 0.5
xdotool windowmove "$WID" 520 360
sleep 0.5

# ---- capture a 300 x 200 region of the (plain) root window ----------------------------------
xdotool key F7
wait_overlay shown
sleep 0.3
xdotool mousemove 100 100
sleep 0.2
xdotool mousedown 1
sleep 0.1
xdotool mousemove 250 200
sleep 0.1
xdotool mousemove 400 300
sleep 0.2
xdotool mouseup 1
wait_overlay gone
sleep 0.5
picture_origin
echo "main window at $WX,$WY, picture at $PX,$PY"

# ---- the pen: a drag from (20,30) to (200,120) in picture pixels ----------------------------
click_at $((WX + 8 + 37)) $((WY + 2 + 10))  # "Pen"
xdotool mousemove $((PX + 20)) $((PY + 30))
sleep 0.2
xdotool mousedown 1
sleep 0.1
for i in $(seq 1 12); do
  xdotool mousemove $((PX + 20 + 15 * i)) $((PY + 30 + (90 * i) / 12))
  sleep 0.03
done
sleep 0.2
xdotool mouseup 1
sleep 0.3
xdotool mousemove 10 10
sleep 0.3
shot drawn

# ---- save by a name without extension --------------------------------------------------------
save_as "$RUN_DIR/saved/picture"
for _ in $(seq 1 100); do
  [ -s "$RUN_DIR/saved/picture.jpg" ] && break
  sleep 0.05
done
wait_no_new_window "save dialog"
ls -l "$RUN_DIR/saved"
[ -s "$RUN_DIR/saved/picture.jpg" ] || fail "picture.jpg was not written"
[ "$(ls "$RUN_DIR/saved")" = picture.jpg ] || fail "unexpected files: $(ls "$RUN_DIR/saved")"
cp "$RUN_DIR/saved/picture.jpg" "$REPORT/picture.jpg"
djpeg -pnm "$RUN_DIR/saved/picture.jpg" >"$RUN_DIR/picture.ppm" || fail "djpeg cannot decode picture.jpg"

python3 - "$RUN_DIR/picture.ppm" <<'EOF' || fail "the saved picture does not show the line"
import sys
data = open(sys.argv[1], "rb").read()
# Binary PPM: P6 <w> <h> <max> then RGB bytes.
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace():
        pos += 1
    start = pos
    while not data[pos:pos + 1].isspace():
        pos += 1
    fields.append(data[start:pos])
pos += 1
w, h = int(fields[1]), int(fields[2])
pixels = data[pos:]
def px(x, y):
    i = 3 * (y * w + x)
    return tuple(pixels[i:i + 3])
def red(p):
    return p[0] > 190 and p[1] < 70 and p[2] < 70
print("size", w, h)
assert (w, h) == (300, 200), (w, h)
for k in range(1, 10):
    x = 20 + 18 * k
    y = 30 + 9 * k
    assert any(red(px(x, y + d)) for d in (-1, 0, 1)), ("no red at", x, y, px(x, y))
for x, y in ((20, 120), (200, 30), (150, 30), (60, 150), (280, 190)):
    assert not red(px(x, y)), ("red off the line at", x, y, px(x, y))
print("the red line is there")
EOF

# A small PNG reader for the screenshots (8-bit RGB or RGBA, all filter types).
export PNG_PY_DIR="$RUN_DIR"
cat >"$RUN_DIR/png_rows.py" <<'EOF'
import zlib, struct
def load(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, w = 8, b"", 0
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and ctype in (2, 6), (depth, ctype)
            bpp = 3 if ctype == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + n
    raw = zlib.decompress(idat)
    stride = w * bpp
    rows, prev = [], bytearray(stride)
    i = 0
    for _ in range(h):
        f = raw[i]; line = bytearray(raw[i + 1:i + 1 + stride]); i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if f == 1: line[x] = (line[x] + a) & 255
            elif f == 2: line[x] = (line[x] + b) & 255
            elif f == 3: line[x] = (line[x] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c; pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line)); prev = line
    return rows, bpp
def pixel(rows, bpp, x, y):
    return tuple(rows[y][x * bpp:x * bpp + 3])
EOF

# ---- a folder nobody can create files in -----------------------------------------------------
"$TOVALIN_X11SHOT" "$REPORT/before-failed-save.png" || fail "screenshot"
# A folder that is a regular file: no one, not even root, can create a file in it.
printf 'not a folder' >"$RUN_DIR/plainfile"
save_as "$RUN_DIR/plainfile/picture"
# The dialog goes, then the message box comes: a window titled "Tovalin" besides the main one.
BOX=
for _ in $(seq 1 100); do
  for w in $(xdotool search --onlyvisible --name '^Tovalin$' 2>/dev/null); do
    [ "$w" != "$WID" ] && BOX=$w
  done
  [ -n "$BOX" ] && break
  sleep 0.05
done
[ -n "$BOX" ] || fail "no message box titled Tovalin appeared"
sleep 0.3
shot failed-save
# The box's text, copied as a Windows message box copies it.
printf '' | xclip -selection clipboard 2>/dev/null || true
xdotool windowactivate --sync "$BOX" 2>/dev/null || xdotool windowfocus --sync "$BOX" 2>/dev/null || true
sleep 0.2
xdotool key ctrl+c
sleep 0.3
TEXT=$(xclip -o -selection clipboard 2>/dev/null || true)
echo "message box: $TEXT"
grep -q 'Saving file error #1' <<<"$TEXT" || fail "the message box does not say \"Saving file error #1\""
xdotool key Return
for _ in $(seq 1 100); do
  xdotool search --onlyvisible --name '^Tovalin$' 2>/dev/null | grep -qv "^$WID\$" || break
  sleep 0.05
done
[ "$(cat "$RUN_DIR/plainfile")" = 'not a folder' ] || fail "the file in the way was changed"
xdotool mousemove 10 10
sleep 0.4
shot after-failed-save
# The picture is as it was before the failed save.
"$TOVALIN_X11SHOT" "$REPORT/after-failed-save.png" >/dev/null
python3 - "$REPORT/before-failed-save.png" "$REPORT/after-failed-save.png" "$PX" "$PY" <<'EOF' ||
import os, sys
sys.path.insert(0, os.environ["PNG_PY_DIR"])
from png_rows import load
a, bpp = load(sys.argv[1]); b, _ = load(sys.argv[2])
px, py = int(sys.argv[3]), int(sys.argv[4])
for y in range(py, py + 200):
    if a[y][px * bpp:(px + 300) * bpp] != b[y][px * bpp:(px + 300) * bpp]:
        sys.exit("the picture changed at row %d" % (y - py))
print("the picture is unchanged")
EOF
  fail "the picture changed after the failed save"

# ---- a text stamp: the press opens the box, which takes the release; one undo takes it away ----
click_at $((WX + 174 + 37)) $((WY + 2 + 10))  # "Text"
xdotool mousemove $((PX + 150)) $((PY + 150))
sleep 0.2
xdotool click 1
BOXW=$(timeout 10 xdotool search --sync --onlyvisible --name '^Input text$' | head -n1) || true
[ -n "$BOXW" ] || fail "no input box titled \"Input text\" appeared"
xdotool windowactivate --sync "$BOXW" 2>/dev/null || xdotool windowfocus --sync "$BOXW" 2>/dev/null || true
sleep 0.3
xdotool type --delay 50 "Stamp"
xdotool key Return
for _ in $(seq 1 100); do
  [ -z "$(xdotool search --onlyvisible --name '^Input text$' 2>/dev/null)" ] && break
  sleep 0.05
done
xdotool mousemove 10 10
sleep 0.4
shot stamped
click_at $((WX + 329 + 37)) $((WY + 2 + 10))  # "Undo"
xdotool mousemove 10 10
sleep 0.4
shot stamp-undone
click_at $((WX + 329 + 37)) $((WY + 2 + 10))
xdotool mousemove 10 10
sleep 0.4
shot line-undone
python3 - "$REPORT" "$PX" "$PY" <<'EOF' || fail "the stamp was not drawn, or undo did not take it and the line away one at a time"
import os, sys
sys.path.insert(0, os.environ["PNG_PY_DIR"])
from png_rows import load, pixel
report, px, py = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
def count(name, test):
    rows, bpp = load(os.path.join(report, name + ".png"))
    return sum(1 for y in range(py, py + 200) for x in range(px, px + 300) if test(pixel(rows, bpp, x, y)))
white = lambda p: p[0] > 240 and p[1] > 240 and p[2] > 240
red = lambda p: p[0] > 190 and p[1] < 70 and p[2] < 70
counts = {n: (count(n, white), count(n, red)) for n in ("stamped", "stamp-undone", "line-undone")}
print("white and red pixels:", counts)
assert counts["stamped"][0] > 50, "no white box"
assert counts["stamp-undone"][0] == 0 and counts["stamp-undone"][1] > 100, "the first undo did not take the stamp alone"
assert counts["line-undone"] == (0, 0), "the second undo did not bring back the capture"
EOF

kill -0 "$PID" || fail "the program ended"
kill -TERM "$PID"
for _ in $(seq 1 50); do
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.1
done
wait "$PID" 2>/dev/null || true
PID=
echo "ok"
