#!/bin/sh
# The main job on the bundled example: installs what is missing, builds, serves
# the example patch list on loopback and checks the example machine against it.
# Console report by default; "--gui" opens the report dialog on the current display;
# "--fleet" checks the example fleet (examples/fleet) instead, "--fleet-html" writes
# its page to standard output.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh skyvane skyvane-patchserver >/dev/null
BUILD_DIR="${SKYVANE_BUILD_DIR:-build}"

portfile="$(mktemp -u)"
"$BUILD_DIR/tools/patchserver/skyvane-patchserver" examples/server "$portfile" &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$portfile"' EXIT
for _ in $(seq 100); do [ -s "$portfile" ] && break; sleep 0.05; done
port="$(cat "$portfile")"

mode="/c"
machine="examples/machine.reg"
case "${1:-}" in
    --gui) mode="" ;;
    --fleet) machine="examples/fleet" ;;
    --fleet-html) mode="/f html"; machine="examples/fleet" ;;
esac
# In the example fleet, print-04's export task stopped ten days ago (web-02's
# export lacks the list of installed software): a copy shows it as the share would.
if [ "$machine" = examples/fleet ]; then
    copy="$(mktemp -d)"
    trap 'kill $server 2>/dev/null; rm -rf "$portfile" "$copy"' EXIT
    cp examples/fleet/*.reg "$copy"
    touch -d '10 days ago' "$copy/print-04.reg"
    machine="$copy"
fi
status=0
"$BUILD_DIR/src/skyvane" $mode /r "$machine" \
    /u "http://127.0.0.1:$port/sky_vane/patches.json" || status=$?
exit $status
