#!/usr/bin/env bash
# README command 1: set-up, build, then start the web service on loopback (when built) and the
# program on the current display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
if [ -x "$BUILD_DIR/service/tovalin-service" ]; then
  mkdir -p "$BUILD_DIR/service-data"
  "$BUILD_DIR/service/tovalin-service" --listen 127.0.0.1:8080 --data "$BUILD_DIR/service-data" --version 0.1.12 &
  SERVICE_PID=$!
  trap 'kill $SERVICE_PID 2>/dev/null || true' EXIT
fi
"$BUILD_DIR/src/Tovalin/Tovalin" "$@"
