#!/usr/bin/env bash
# A private Wine environment for the Windows build: its own prefix, its own
# Xvfb display with a small window manager, and a persistent wineserver.
#
#   wine_env.sh start STATE_DIR           bring the environment up (idempotent)
#   wine_env.sh run   STATE_DIR EXE ARGS  run EXE under Wine in it (starts it if needed)
#   wine_env.sh stop  STATE_DIR           end Xvfb, the window manager and wineserver
#
# WINEPREFIX, when set, replaces STATE_DIR/prefix.
set -euo pipefail

cmd=${1:?command}
state=$(mkdir -p "${2:?state dir}" && cd "$2" && pwd)
shift 2

export WINEPREFIX=${WINEPREFIX:-$state/prefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

free_display() {
  local n
  for n in $(seq 90 250); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo "$n"
      return 0
    fi
  done
  echo "wine_env: no free X display" >&2
  return 1
}

start() {
  exec 9>"$state/lock"
  flock 9
  if alive "$state/xvfb.pid"; then
    return 0
  fi
  local n
  n=$(free_display)
  setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp 9>&- </dev/null >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  [ -e "/tmp/.X11-unix/X$n" ] || { echo "wine_env: Xvfb :$n did not start" >&2; exit 1; }
  echo ":$n" >"$state/display"

  # Without a window manager every hide or destroy of a window costs seconds;
  # plain twm would wait for a click to place each window.
  # Xvfb has only its built-in "fixed" font.
  printf '%s\n' RandomPlacement 'UsePPosition "on"' NoTitle 'TitleFont "fixed"' 'ResizeFont "fixed"' \
    'MenuFont "fixed"' 'IconFont "fixed"' 'IconManagerFont "fixed"' >"$state/twmrc"
  DISPLAY=":$n" LC_ALL=C setsid twm -f "$state/twmrc" 9>&- </dev/null >"$state/twm.log" 2>&1 &
  echo $! >"$state/twm.pid"

  export DISPLAY=":$n"
  mkdir -p "$WINEPREFIX"
  # A persistent server: each test would otherwise wait for it to let go of
  # its output pipe.
  setsid wineserver -p 9>&- </dev/null >"$state/wineserver.log" 2>&1 || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine_env: creating prefix $WINEPREFIX" >&2
  fi
  # Wine's own services start with the first program of a session and live
  # as long as the server; started here, they hold the log rather than the
  # output pipe of a test, which ctest would wait for.
  wineboot 9>&- </dev/null >"$state/wineboot.log" 2>&1 || true
}

stop() {
  exec 9>"$state/lock"
  flock 9
  wineserver -k 2>/dev/null || true
  # Anything of this prefix that the server did not end (a process caught
  # half-started, say) would keep a test's output pipe open.
  local proc
  for proc in /proc/[0-9]*; do
    case "$(readlink "$proc/exe" 2>/dev/null)" in
      */wine-preloader | */wine64-preloader | */wine | */wine64) ;;
      *) continue ;;
    esac
    if tr '\0' '\n' <"$proc/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      kill -9 "${proc#/proc/}" 2>/dev/null || true
    fi
  done
  local p
  for p in twm xvfb; do
    if alive "$state/$p.pid"; then
      kill "$(cat "$state/$p.pid")" 2>/dev/null || true
      for _ in $(seq 30); do alive "$state/$p.pid" || break; sleep 0.1; done
      alive "$state/$p.pid" && kill -9 "$(cat "$state/$p.pid")" 2>/dev/null
    fi
    rm -f "$state/$p.pid"
  done
  rm -f "$state/display"
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  run)
    alive "$state/xvfb.pid" || start
    exec 9>&-
    export DISPLAY
    DISPLAY=$(cat "$state/display")
    exec wine "$@"
    ;;
  *)
    echo "usage: wine_env.sh start|run|stop STATE_DIR [EXE ARGS...]" >&2
    exit 2
    ;;
esac
