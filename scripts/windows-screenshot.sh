#!/bin/sh
# Takes docs/windows-report-dialog.png: the Windows program, installed from
# its MSI in a throw-away Wine prefix, shows the report of the example fleet's
# app-server-01 on a private Xvfb display. The prefix has no Windows fonts, so
# DejaVu Sans stands in for the dialog fonts (for this picture only: fonts are
# Windows' to provide, not Skyvane's to ship).
set -eu
cd "$(dirname "$0")/.."
scripts/windows.sh >/dev/null
for package in imagemagick xdotool xvfb x11-utils fonts-dejavu-core; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
            --no-install-recommends "$package" >/dev/null
done
scripts/build.sh skyvane-patchserver >/dev/null
build="${SKYVANE_BUILD_DIR:-build}"
version="$(sed -n 's/^project(Skyvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
msi="$(pwd)/${SKYVANE_WIN_BUILD_DIR:-build-windows}/skyvane-$version.msi"

work="$(mktemp -d)"
pids=""
trap 'kill $pids 2>/dev/null || true; WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all LANG=C.UTF-8
display=":$(( $$ % 50 + 100 ))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids="$pids $!"
export DISPLAY="$display"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

wine msiexec /i "$msi" /qn
fonts="$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$fonts/"
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    for face in "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" "Segoe UI Semibold" "Tahoma" \
                "MS Sans Serif" "Arial" "Times New Roman"; do
        printf '"%s"="DejaVu Sans"\r\n' "$face"
    done
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in "Segoe UI" "Segoe UI Semibold" "Times New Roman" "Tahoma" "MS Shell Dlg 2"; do
        printf '"%s"="DejaVu Sans"\r\n' "$face"
    done
} > "$work/fonts.reg"
cp examples/fleet/app-server-01.reg "$work/machine.reg"
(cd "$work" && wine reg import fonts.reg && wine reg import machine.reg) 2>/dev/null
for folder in "Quorix Server" Zelvan Flurrin; do
    mkdir -p "$WINEPREFIX/drive_c/Program Files/Vandry/$folder"
done

"$build/tools/patchserver/skyvane-patchserver" examples/server "$work/port" &
pids="$pids $!"
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
url="http://127.0.0.1:$(cat "$work/port")/sky_vane/patches.json"
wine "C:\\Program Files\\Skyvane\\skyvane.exe" /u "$url" >/dev/null 2>&1 &
pids="$pids $!"
dialog="$(timeout 60 xdotool search --sync --onlyvisible --limit 1 --name '^Quorix for Server and Extensions Sky Vanes$')"
sleep 3 # until the report is drawn
import -window "$dialog" docs/windows-report-dialog.png
echo "docs/windows-report-dialog.png"
