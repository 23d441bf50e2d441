#!/bin/sh
# Builds the registry export reader's fuzz target with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) into build-fuzz/ and runs it
# on the seed corpus of tests/data/registry for SECONDS (default 300).
# Needs Debian's clang: apt-get install clang.
set -eu
cd "$(dirname "$0")/../.."
seconds="${1:-300}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DSKYVANE_FUZZ=ON -DSKYVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz --target fuzz_registryfile
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
cp tests/data/registry/*.reg "$corpus"
build-fuzz/tests/fuzz/fuzz_registryfile -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=2048 "$corpus"
