#!/bin/sh
# The tray run under a real tray host: a private Xvfb display with Debian's
# trayer on it. First the tray test program, then the real program with /i
# against the example: its icon must sit in the tray; its popup must appear
# without taking the keyboard from another program; a double-click on the
# icon must open the report while the popup stays open beside it; and a
# click on the popup's close button must end the run cleanly.
# Usage: run_tray_test.sh TEST-BINARY SKYVANE PATCH-SERVER SOURCE-DIR
set -eu
test_binary="$1"
skyvane="$2"
patch_server="$3"
source_dir="$4"
for tool in Xvfb trayer xdotool xwininfo xmessage; do
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

work="$(mktemp -d)"
pids=""
trap 'kill $pids 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids="$pids $!"
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
export DISPLAY="$display"
trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 >/dev/null 2>&1 &
pids="$pids $!"
# The tray exists once trayer's panel window is mapped; a program started
# before that finds no tray.
timeout 20 xdotool search --sync --onlyvisible --limit 1 --name '^panel$' >/dev/null ||
    { echo "trayer did not start" >&2; exit 1; }

unset QT_QPA_PLATFORM
export XDG_CONFIG_HOME="$work/config"
QT_QPA_PLATFORM=xcb "$test_binary"

"$patch_server" "$source_dir/examples/server" "$work/port" &
pids="$pids $!"
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
# Another program has the keyboard when the popup appears.
xmessage -name skyvane-other "another program" >/dev/null 2>&1 &
pids="$pids $!"
other="$(timeout 20 xdotool search --sync --limit 1 --classname '^skyvane-other$')"
xdotool windowfocus --sync "$other"

cd "$source_dir"
"$skyvane" /i /v 1 /r examples/machine.reg \
    /u "http://127.0.0.1:$(cat "$work/port")/sky_vane/patches.json" > "$work/log" 2>&1 &
app=$!

fail() { echo "$1" >&2; cat "$work/log" >&2; exit 1; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
popup="$(timeout 30 xdotool search --sync --onlyvisible --limit 1 --name '^Updates Available$')"
sleep 1 # the slide-in animation
[ "$(xdotool getwindowfocus)" = "$other" ] || fail "the popup took the keyboard"
panel="$(xdotool search --limit 1 --name '^panel$')"
icon="$(xwininfo -tree -id "$panel" | awk '/"Skyvane"/ { print $1; exit }')"
[ -n "$icon" ] || fail "no Skyvane icon in the tray"

eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click --repeat 2 --delay 100 1
report="$(timeout 10 xdotool search --sync --onlyvisible --limit 1 \
    --name '^Quorix for Server and Extensions Sky Vanes$')" || fail "no report from the icon"
viewable "$popup" || fail "the popup closed when the report opened"
eval "$(xdotool getwindowgeometry --shell "$report")"
xdotool mousemove $((X + WIDTH - 40)) $((Y + HEIGHT - 20)) click 1 # its OK button
timeout 10 sh -c "while xwininfo -id $report 2>/dev/null | grep -q IsViewable; do sleep 0.1; done" ||
    fail "the report did not close"
viewable "$popup" || fail "the popup closed with the report"

eval "$(xdotool getwindowgeometry --shell "$popup")"
xdotool mousemove $((X + WIDTH - 9)) $((Y + 8)) click 1

status=0
timeout 30 sh -c "while kill -0 $app 2>/dev/null; do sleep 0.1; done" || { echo "the tray run did not end" >&2; exit 1; }
wait "$app" || status=$?
cat "$work/log"
[ "$status" -eq 0 ] || { echo "skyvane /i ended with $status" >&2; exit 1; }
grep -q "Running in GUI mode" "$work/log"
! grep -q "Fatal" "$work/log"
