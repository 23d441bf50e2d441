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
# The shapes a broken copy or a hostile share leaves, small enough to mutate.
head=$(printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKLM\\SOFTWARE\\T]\r\n"V"="ok"\r\n')
{ printf '%s' "$head"; head -c 4000 /dev/zero; } >"$corpus/nul-padding"
{ printf '%s' "$head"; head -c 4000 /dev/zero | tr '\0' '\032'; } >"$corpus/ctrl-z-padding"
{ printf ' \r\n\t\r\n%s;' "$head"; head -c 4000 /dev/zero | tr '\0' c; } >"$corpus/long-comment"
{ printf '%s[HKLM\\SOFTWARE\\U\\E]\r\n"DisplayName"="x"\r\n"H"=hex:00,\\\r\n' "$head"
  yes '  01,\' | head -n 500; printf '  02\r\n'; } >"$corpus/continued-lines"
{ printf '%s' "$head"; yes '"N"="v"' | head -n 200; } >"$corpus/many-values"
build-fuzz/tests/fuzz/fuzz_registryfile -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=2048 "$corpus"
