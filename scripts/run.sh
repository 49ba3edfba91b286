#!/usr/bin/env bash
# Installs what the editor needs, builds it and starts it with any arguments given.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
Built: build/src/app/tessary
There is no display to show the editor on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run it from a desktop session, or on a virtual screen:
  xvfb-run -a -s "-screen 0 1280x800x24" build/src/app/tessary
MSG
  exit 0
fi
exec build/src/app/tessary "$@"
