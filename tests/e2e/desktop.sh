#!/usr/bin/env bash
# Runs a command on a desktop of its own, as a screen-reader user has it:
# an X server (Xvfb), a D-Bus session bus, the accessibility bus with its
# registry, and a window manager (openbox) that gives windows the focus.
# Everything it starts is stopped when the command ends; the command's exit
# status is the script's.
# Usage: desktop.sh COMMAND [ARG...]
set -euo pipefail

if [ -z "${QZT_DESKTOP:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" \
    dbus-run-session -- env QZT_DESKTOP=1 bash "$0" "$@"
fi

started=()
stop_started() {
  local pid
  for pid in "${started[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
trap stop_started EXIT

ready=$(mktemp -d)

# Asking for the accessibility bus starts it (D-Bus activation); it ends
# with the session bus.
for _ in $(seq 1 100); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
  sleep 0.1
done

openbox --sm-disable --startup "touch $ready/openbox" >/dev/null 2>&1 &
started+=($!)
for _ in $(seq 1 100); do
  [ -e "$ready/openbox" ] && break
  sleep 0.1
done
rm -rf "$ready"

# Qt applications talk to the accessibility bus without asking whether a
# screen reader runs, and show real windows on this server.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_QPA_PLATFORM=xcb

status=0
"$@" || status=$?
exit "$status"
