#!/usr/bin/env bash
# Installs what is missing, builds, and starts Folivex from the program folder build/app/.
#
#   ./run.sh           build everything and start Folivex
#   ./run.sh --demo    build what the offline demo needs, serve the demo comic site on
#                      127.0.0.1, download its two chapters with folivex-get into
#                      "$HOME/My Comic Book/demo/" (or $FOLIVEX_DEMO_DIR), stop the site.
#                      FOLIVEX_DEMO_APP_DIR names a program folder built elsewhere (no build).
set -euo pipefail
cd "$(dirname "$0")"

run_demo() {
  local app="${FOLIVEX_DEMO_APP_DIR:-$PWD/build/app}"
  local out="${FOLIVEX_DEMO_DIR:-$HOME/My Comic Book/demo}"
  if [ -z "${FOLIVEX_DEMO_APP_DIR:-}" ]; then
    scripts/build --target Gantrell folivex-get folivex-demo-site app_data
  fi
  for program in Gantrell folivex-get folivex-demo-site; do
    if [ ! -x "$app/$program" ]; then
      echo "run.sh: $app/$program is missing" >&2
      return 1
    fi
  done

  # The site prints its address on its first line and serves until it gets SIGTERM.
  coproc DEMO_SITE { exec "$app/folivex-demo-site"; }
  local site_pid=$DEMO_SITE_PID
  trap "kill $site_pid 2>/dev/null || true; wait $site_pid 2>/dev/null || true" EXIT
  local base=""
  read -r -t 30 base <&"${DEMO_SITE[0]}" || true
  if [[ "$base" != http://127.0.0.1:* ]]; then
    echo "run.sh: the demo site did not start" >&2
    return 1
  fi
  base="${base%/}"
  echo "Demo comic site: $base/comic/"

  mkdir -p "$out"
  local status=0
  "$app/folivex-get" -j 2 \
    "$base/comic/ch1/1.html" "$out/chapter 1" \
    "$base/comic/ch2/1.html" "$out/chapter 2" || status=$?

  kill "$site_pid" 2>/dev/null || true
  wait "$site_pid" 2>/dev/null || true
  trap - EXIT
  echo
  for chapter in "chapter 1" "chapter 2"; do
    local count
    count=$(find "$out/$chapter" -maxdepth 1 -type f 2>/dev/null | wc -l || true)
    echo "$count pages in $out/$chapter/"
  done
  return $status
}

scripts/install-deps
if [ "${1:-}" = "--demo" ]; then
  run_demo
  exit $?
fi
scripts/build
if [ -x build/app/Folivex ]; then
  exec build/app/Folivex "$@"
fi
echo "The front-end Folivex is not built yet; the engine is at build/app/Gantrell."
