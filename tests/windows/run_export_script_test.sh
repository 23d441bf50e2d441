#!/bin/sh
# The fleet's export script (examples/export-for-skyvane.cmd), run by Wine's
# cmd on a throw-away machine: it joins the trees that exist there, names
# them in a comment, and Skyvane reads what it wrote; without the list of
# installed software it fails and leaves the last good export as it was.
# Arguments: the Linux skyvane program, the source folder.
set -eu
skyvane="$1"
source="$2"
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
windows() { echo "Z:$1" | tr / '\\'; }

wine reg add 'HKLM\SOFTWARE\VANDRY\Zelvan for Quorix' /v Version /d 10.3 /f /reg:64 >/dev/null 2>&1 ||
    fail "cannot make the machine"
# A product of a 32-bit installer, in the 32-bit view.
for value in 'InstallDir C:\windows' 'Version 3.1'; do
    wine reg add 'HKLM\SOFTWARE\VandryRouteKeying\Server 3.1' /v "${value% *}" /d "${value#* }" /f \
        /reg:32 >/dev/null 2>&1 || fail "cannot make the machine's 32-bit view"
done
mkdir "$work/share"
script="$(windows "$source/examples/export-for-skyvane.cmd")"
wine cmd /c "$script" "$(windows "$work/share")" >"$work/out" 2>&1 || fail "the export failed: $(cat "$work/out")"
set -- "$work"/share/*.reg
[ "$#" = 1 ] && [ -f "$1" ] || fail "not one export in the share: $*"
exported="$1"
iconv -f UTF-16 -t UTF-8 "$exported" | tr -d '\r' >"$work/text"
comment="$(grep '^; Skyvane export holds: ' "$work/text")" ||
    fail "no comment naming the trees in: $(head -20 "$work/text")"
held="${comment%%; not on this server:*}"
absent="${comment#*; not on this server:}"
for tree in 'VANDRY' 'WOW6432Node\VandryRouteKeying' 'Microsoft\Windows\CurrentVersion\Uninstall'; do
    case "$held " in *" HKLM\\SOFTWARE\\$tree "*) ;; *) fail "$tree not held: $comment" ;; esac
done
case "$absent " in *" HKLM\\SOFTWARE\\VANDRY_CALDER "*) ;; *) fail "VANDRY_CALDER not absent: $comment" ;; esac
# Its age is the fleet test's concern (and faketime shifts file times too).
"$skyvane" /f json /maxage 0 /r "$exported" /u "file://$source/examples/server/sky_vane/patches.json" >"$work/report.json" ||
    fail "Skyvane does not read the export"
jq -e '.export.vendorTrees and .export.installedSoftware and .export.ageSeconds != null and
    any(.products[]; .name | test("Route Keying"))' "$work/report.json" >/dev/null ||
    fail "the report does not see both trees: $(jq .export "$work/report.json")"

# Without the list of installed software: a failed task, the last export kept.
cp "$exported" "$work/last.reg"
wine reg delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall' /f /reg:64 >/dev/null 2>&1 ||
    fail "cannot remove the list of installed software"
if wine cmd /c "$script" "$(windows "$work/share")" >"$work/out" 2>&1; then
    fail "an export without the list of installed software succeeded"
fi
grep -q "the list of installed software cannot be exported; nothing written" "$work/out" ||
    fail "the failure is not told: $(cat "$work/out")"
cmp -s "$exported" "$work/last.reg" || fail "the last good export was replaced"
echo "PASS"
