#!/bin/sh
# Builds Qt for Windows (MinGW-w64) once from Debian's own qt6-base source, into
# a cache folder outside the work tree, and prints the folder's path on the last
# line. A cached build is reused while its version matches the host's Qt tools.
# With --cached it only tells (exit 0 with the path, else 1) and builds nothing.
#   SKYVANE_QT_WIN_CACHE  where the cache lives (default ~/.cache/skyvane)
set -eu
here="$(cd "$(dirname "$0")/.." && pwd)"
cache="${SKYVANE_QT_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/skyvane}"
# The host's tools (moc, uic, rcc) build for the target: both must be one version.
version="$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null | sed 's/+.*//; s/-.*//')"
[ -n "$version" ] || { echo "windows-qt: the host's Qt tools are missing (run scripts/setup.sh)" >&2; exit 1; }
prefix="$cache/qt-$version-mingw-w64"
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi
[ "${1:-}" = "--cached" ] && exit 1
mkdir -p "$cache"
step() { echo "windows-qt: $1 ($(($(date +%s) - started)) s so far)" >&2; }
started=$(date +%s)

# Debian's source package, fetched through a private apt configuration so that
# the machine's own sources stay as they are.
src="$cache/src"
if [ ! -d "$src/qt6-base" ]; then
    step "downloading Debian's qt6-base source"
    apt="$cache/apt"
    mkdir -p "$apt/lists/partial" "$src"
    echo "deb-src http://deb.debian.org/debian bookworm main" > "$apt/sources.list"
    set -- -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null \
           -o Dir::State::Lists="$apt/lists" -o APT::Sandbox::User=root
    apt-get "$@" update -qq
    (cd "$src" && apt-get "$@" source --download-only -qq qt6-base)
    (cd "$src" && dpkg-source --no-check -x qt6-base_*.dsc unpacked >/dev/null && mv unpacked qt6-base)
fi

step "configuring"
build="$cache/build-qt-$version"
rm -rf "$build" "$prefix"
mkdir -p "$build"
launcher=""
command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
# wintab.h is not in Debian's source, hence no tablet events; OpenGL, D-Bus,
# SQL, ICU and printing are not used by Skyvane.
(cd "$build" && "$src/qt6-base/configure" -prefix "$prefix" \
    -xplatform win32-g++ -qt-host-path /usr -release -opensource -confirm-license \
    -nomake examples -nomake tests -no-opengl -no-dbus -no-feature-sql -no-icu \
    -no-feature-tabletevent -no-feature-printsupport -no-feature-concurrent \
    -- -G Ninja -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" $launcher) > "$cache/configure.log" 2>&1 ||
    { tail -40 "$cache/configure.log" >&2; exit 1; }
step "building (30 to 40 minutes on 2 cores)"
cmake --build "$build" --parallel "$(nproc)" > "$cache/build.log" 2>&1 ||
    { tail -40 "$cache/build.log" >&2; exit 1; }
step "installing"
cmake --install "$build" > "$cache/install.log" 2>&1 || { tail -20 "$cache/install.log" >&2; exit 1; }
rm -rf "$build" "$src"
touch "$prefix/.complete"
step "done"
echo "$prefix"
