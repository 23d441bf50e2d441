#!/bin/sh
# Builds a reader's fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs it on its seeds for
# SECONDS (default 300): the registry export reader, or with "patchlist" as
# second argument the patch-list reader, with "previousreport" the reader of
# earlier JSON reports.
# Needs Debian's clang: apt-get install clang.
set -eu
cd "$(dirname "$0")/../.."
seconds="${1:-300}"
reader="${2:-registryfile}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DSKYVANE_FUZZ=ON -DSKYVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz --target "fuzz_$reader"
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
if [ "$reader" = patchlist ]; then
    cp tests/data/*.json examples/server/sky_vane/patches.json "$corpus"
    printf '{"Product": [{"version": "1", "patches": [{"name": "\\ud800x\\udfff", "id": 1e400}]}]}' \
        >"$corpus/odd-texts"
    printf '{"Product": [[[[[[[[[[[[[[[[[[[[{"version": "1"}]]]]]]]]]]]]]]]]]]]}' >"$corpus/deep"
    exec build-fuzz/tests/fuzz/fuzz_patchlist -max_total_time="$seconds" -max_len=65536 \
        -rss_limit_mb=2048 "$corpus"
fi
if [ "$reader" = previousreport ]; then
    cp tests/data/previous-fleet.json "$corpus"
    printf '{"schemaVersion":1,"checkedAt":"2026-12-05T12:00:00Z","machine":"a","state":"ok",%s' \
        '"list":{"state":"ok"},"products":[{"missing":[{"name":"A"}]}]}' >"$corpus/machine"
    exec build-fuzz/tests/fuzz/fuzz_previousreport -max_total_time="$seconds" -max_len=65536 \
        -rss_limit_mb=2048 "$corpus"
fi
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
