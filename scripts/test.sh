#!/usr/bin/env bash
# README command 2: set-up, build, then every test (unit tests offscreen, end-to-end under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" "$@"
