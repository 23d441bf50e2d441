#!/bin/sh
# Builds the Debian package, unpacks it into a temporary root and runs the
# unpacked program, through its link in usr/bin, against the example.
# Usage: run_package_test.sh BUILD-DIR SOURCE-DIR PATCH-SERVER
set -eu
build_dir="$1"
source_dir="$2"
patch_server="$3"

work="$(mktemp -d)"
server=""
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT

(cd "$build_dir" && cpack -G DEB -B "$work/out" >/dev/null)
package="$(ls "$work"/out/skyvane_*.deb)"
dpkg-deb -f "$package" Depends | grep -q libqt6widgets6 || { echo "package lacks its Qt dependencies" >&2; exit 1; }
dpkg-deb -x "$package" "$work/root"
program="$work/root/usr/bin/skyvane"
[ -L "$program" ] || { echo "usr/bin/skyvane is not a link" >&2; exit 1; }
[ -f "$work/root/usr/share/applications/skyvane.desktop" ] || { echo "no desktop entry" >&2; exit 1; }

"$patch_server" "$source_dir/examples/server" "$work/port" &
server=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
url="http://127.0.0.1:$(cat "$work/port")/sky_vane/patches.json"

export XDG_CONFIG_HOME="$work/config"
cd "$source_dir"
LC_ALL=C.UTF-8 "$program" /c /r examples/machine.reg /u "$url" > "$work/report.txt"
cmp "$work/report.txt" "$source_dir/tests/data/example-report.txt"
# The translations are found beside the real program, also through the link.
LC_ALL=de_DE.UTF-8 "$program" /h | grep -q "Aufruf anzeigen"
