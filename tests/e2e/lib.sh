# Shared by the end-to-end scenarios: source it after `set -euo pipefail`, then call
# e2e_begin REPORT_SUBDIR. It makes REPORT (the screenshot folder) and RUN_DIR (the program's
# working directory), and stops the program started into PID when the scenario ends.
e2e_begin() {
  REPORT=${TOVALIN_E2E_REPORT:-${TOVALIN_BUILD_DIR:-.}/e2e-report}${1:+/$1}
  mkdir -p "$REPORT"
  RUN_DIR=$(mktemp -d)
  PID=
  trap e2e_cleanup EXIT
}

e2e_cleanup() {
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
    kill "$PID" 2>/dev/null || true
    sleep 0.5
    kill -9 "$PID" 2>/dev/null || true
  fi
  rm -rf "$RUN_DIR"
}
