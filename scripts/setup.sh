#!/bin/sh
# Installs the Debian packages that building, testing and the demo need.
# Idempotent, and quick when everything is there already. Run as root.
set -eu

PACKAGES="cmake ninja-build g++ ccache pkg-config
qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
qt6-translations-l10n libgl-dev libssl3 fonts-dejavu-core rapidjson-dev jq
squid apache2-utils xvfb xauth trayer xdotool x11-utils dpkg-dev file time
g++-mingw-w64-x86-64-posix wine wine64 python3-jsonschema openssl osslsigncode faketime"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ -n "$missing" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: missing packages:$missing (run this script as root)" >&2
        exit 1
    fi
    echo "setup: installing$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get -o DPkg::Lock::Timeout=600 update -qq
    apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $missing
fi

# promtool checks the metrics output. It comes with Debian's prometheus, whose
# server is not wanted here: only the tool is taken from the package.
if ! command -v promtool >/dev/null 2>&1; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: promtool is missing (run this script as root)" >&2
        exit 1
    fi
    echo "setup: installing promtool from Debian's prometheus package"
    work="$(mktemp -d)"
    (cd "$work" && { apt-get download prometheus >/dev/null 2>&1 ||
                     { apt-get -o DPkg::Lock::Timeout=600 update -qq &&
                       apt-get download prometheus >/dev/null; }; } &&
        dpkg-deb -x prometheus_*.deb extracted &&
        install -m 755 extracted/usr/bin/promtool /usr/local/bin/promtool)
    rm -rf "$work"
fi
