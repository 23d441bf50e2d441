#!/bin/sh
# Configures and builds Skyvane with its tests into build/ (or $SKYVANE_BUILD_DIR).
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR="${SKYVANE_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${SKYVANE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
