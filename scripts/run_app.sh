#!/usr/bin/env bash
# Starts Vantreloquin.exe under Wine and waits until it ends: on the user's
# display and Wine prefix when there is a display, else on a private Xvfb
# with a private prefix in the build folder.
set -euo pipefail

exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
root=$(cd "$(dirname "$0")/.." && pwd)

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe"
fi

state=$root/build/run-env
echo "run: no display; using a private Xvfb (state in $state)"
trap '"$root/scripts/wine_env.sh" stop "$state"' EXIT
"$root/scripts/wine_env.sh" start "$state"
echo "run: Vantreloquin is running (its window stays hidden); Ctrl-C ends it"
"$root/scripts/wine_env.sh" run "$state" "$exe"
