#!/usr/bin/env bash
# Starts the console with the station's default settings (or VARNOLA_CONFIG's).
# The help text is installed first where the station expects it.
set -euo pipefail
build=${1:-build}
"$build/tools/install-help/varnola-install-help" "$(dirname "$0")/../data/sathelp.rtf"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  if command -v xvfb-run >/dev/null; then
    echo "run-console: no display; starting under xvfb-run (screenshots only)" >&2
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$build/src/varnola"
  fi
  echo "run-console: no display; starting offscreen" >&2
  export QT_QPA_PLATFORM=offscreen
fi
exec "$build/src/varnola"
