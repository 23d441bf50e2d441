#!/bin/sh
# Installs what is missing, builds, and runs every test. The Windows program
# is built and tested under Wine too once Qt for Windows is in its cache
# (scripts/windows-qt.sh builds it, about 40 minutes on 2 cores).
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
if scripts/windows-qt.sh --cached >/dev/null 2>&1; then
    # The Windows programs and the MSI are signed with a throw-away
    # certificate, which the Windows test verifies them with.
    signing="${SKYVANE_BUILD_DIR:-build}-signing"
    mkdir -p "$signing"
    if [ ! -f "$signing/cert.pem" ]; then
        openssl req -x509 -newkey rsa:2048 -nodes -days 36500 -subj "/CN=Skyvane test signing" \
            -addext extendedKeyUsage=codeSigning -keyout "$signing/key.pem" \
            -out "$signing/cert.pem" >/dev/null 2>&1
    fi
    SKYVANE_SIGN_CERT="$(pwd)/$signing/cert.pem"
    SKYVANE_SIGN_KEY="$(pwd)/$signing/key.pem"
    export SKYVANE_SIGN_CERT SKYVANE_SIGN_KEY
    scripts/windows.sh
    version="$(sed -n 's/^project(Skyvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
    SKYVANE_WINDOWS_MSI="$(pwd)/${SKYVANE_WIN_BUILD_DIR:-build-windows}/skyvane-$version.msi"
else
    echo "test: the Windows program is NOT built or tested here: Qt for Windows is not in its"
    echo "      cache yet (scripts/windows-qt.sh builds it once, about 40 minutes)."
    SKYVANE_WINDOWS_MSI=""
fi
export SKYVANE_WINDOWS_MSI
scripts/build.sh
BUILD_DIR="${SKYVANE_BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 900 -j2
