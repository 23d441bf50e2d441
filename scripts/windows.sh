#!/bin/sh
# Builds Skyvane for Windows here, from Debian's own Qt sources: Qt for
# Windows once into a cache (scripts/windows-qt.sh), then skyvane.exe and its
# console twin skyvane.com, laid out with everything they need, an MSI and a
# zip. Prints how long each step took.
#   SKYVANE_WIN_BUILD_DIR  the build folder (default build-windows)
#   SKYVANE_SIGN_CERT, SKYVANE_SIGN_KEY  a code-signing certificate and its key
#       (PEM files): the programs and the MSI are signed with osslsigncode.
#       With a real certificate, add a time stamp server in SKYVANE_SIGN_TIMESTAMP
#       (an http address), so that signatures outlive the certificate.
# The files end up in $SKYVANE_WIN_BUILD_DIR/Skyvane, the packages beside it.
set -eu
cd "$(dirname "$0")/.."
source_dir="$(pwd)"
build="${SKYVANE_WIN_BUILD_DIR:-build-windows}"
mkdir -p "$build"
build="$(cd "$build" && pwd)"
started=$(date +%s)
step_started=$started
step() {
    now=$(date +%s)
    echo "windows: $1 ($((now - step_started)) s; $((now - started)) s in all)"
    step_started=$now
}

missing=""
for package in g++-mingw-w64-x86-64-posix wixl msitools zip osslsigncode qt6-base-dev-tools qt6-l10n-tools \
               qt6-translations-l10n rapidjson-dev dpkg-dev; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done
if [ -n "$missing" ]; then
    echo "windows: installing$missing"
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
        --no-install-recommends $missing >/dev/null
fi

qt="$(scripts/windows-qt.sh | tail -n 1)"
step "Qt for Windows ready in $qt"

# RapidJSON's headers from a folder of their own: /usr/include would bring the
# host's C headers into a Windows build.
mkdir -p "$build/include"
ln -sfn /usr/include/rapidjson "$build/include/rapidjson"
strict=OFF
[ "${CI:-}" = "true" ] && strict=ON
"$qt/bin/qt-cmake" -S "$source_dir" -B "$build/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
    -DRAPIDJSON_INCLUDE_DIR="$build/include" -DSKYVANE_WARNINGS_AS_ERRORS="$strict" \
    -DCMAKE_INSTALL_PREFIX="$build/Skyvane" >/dev/null
cmake --build "$build/build" --parallel "$(nproc)"
step "skyvane.exe and skyvane.com built"

# The program's folder: the programs, Qt's libraries and the plugins they load,
# the MinGW runtime, and the translations ("locale", where start-up looks).
out="$build/Skyvane"
rm -rf "$out"
cmake --install "$build/build" >/dev/null
for library in Core Gui Widgets Network; do
    cp "$qt/bin/Qt6$library.dll" "$out/"
done
for plugin in platforms/qwindows styles/qwindowsvistastyle tls/qschannelbackend; do
    mkdir -p "$out/$(dirname "$plugin")"
    cp "$qt/plugins/$plugin.dll" "$out/$plugin.dll"
done
runtime="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
cp "$runtime/libgcc_s_seh-1.dll" "$runtime/libstdc++-6.dll" \
   /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$out/"
cp packaging/windows/daily-check.cmd "$out/"
mkdir -p "$out/locale"
/usr/lib/qt6/bin/lrelease -silent src/locale/skyvane_de_DE.ts -qm "$out/locale/skyvane_de_DE.qm"
cp /usr/share/qt6/translations/qtbase_de.qm "$out/locale/qt_de.qm"
# Nothing ships its debugging information.
find "$out" -name '*.exe' -o -name '*.com' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded
step "program folder laid out: $(du -sh "$out" | cut -f1)"

sign() {
    [ -n "${SKYVANE_SIGN_CERT:-}" ] || return 0
    set -- "$1" -certs "$SKYVANE_SIGN_CERT" -key "$SKYVANE_SIGN_KEY" -n Skyvane \
        -i https://www.vandry.com/skyvane -h sha256
    [ -n "${SKYVANE_SIGN_TIMESTAMP:-}" ] && set -- "$@" -ts "$SKYVANE_SIGN_TIMESTAMP"
    file="$1"
    shift
    osslsigncode sign "$@" -in "$file" -out "$file.signed" >/dev/null && mv "$file.signed" "$file"
}
sign "$out/skyvane.exe"
sign "$out/skyvane.com"

version="$(sed -n 's/^project(Skyvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
packaging/windows/make-msi.sh "$out" "$version" "$build/skyvane-$version.msi"
sign "$build/skyvane-$version.msi"
step "MSI made${SKYVANE_SIGN_CERT:+ and signed}: $build/skyvane-$version.msi"
(cd "$build" && rm -f "skyvane-$version.zip" && zip -qr "skyvane-$version.zip" Skyvane)
step "zip made: $build/skyvane-$version.zip"
