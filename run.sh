#!/usr/bin/env bash
# Installs what is missing, builds, and starts Folivex from the program folder build/app/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps
scripts/build
if [ -x build/app/Folivex ]; then
  exec build/app/Folivex "$@"
fi
echo "The front-end Folivex is not built yet; the engine is at build/app/Gantrell."
