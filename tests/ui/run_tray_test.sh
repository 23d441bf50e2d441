#!/bin/sh
# Runs the tray test under a real tray host: a private Xvfb display with
# Debian's trayer on it. Usage: run_tray_test.sh TEST-BINARY
set -eu
test_binary="$1"
for tool in Xvfb trayer; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh" >&2; exit 1; }
done

display=""
for number in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$number" ] && [ ! -e "/tmp/.X$number-lock" ]; then
        display=":$number"
        break
    fi
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $tray $xvfb 2>/dev/null || true' EXIT
tray=""
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done

DISPLAY="$display" trayer --edge bottom --align right --widthtype pixel --width 120 \
    --height 32 >/dev/null 2>&1 &
tray=$!

unset QT_QPA_PLATFORM
DISPLAY="$display" QT_QPA_PLATFORM=xcb "$test_binary"
