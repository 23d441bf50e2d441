#!/bin/sh
# Every text the sources mark for translation has a finished German text in
# the committed catalogue: lupdate brings a copy of it up to date with the
# sources, and nothing in the copy may then be unfinished.
# Usage: check_translations.sh LUPDATE SOURCE-DIR
set -eu
lupdate="$1"
source_dir="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$source_dir/src/locale/skyvane_de_DE.ts" "$work/de.ts"
cd "$source_dir/src"
"$lupdate" -silent -locations none -no-obsolete . -ts "$work/de.ts"
messages="$(grep -c '<source>' "$work/de.ts")"
[ "$messages" -gt 100 ] || { echo "only $messages texts found: is lupdate reading the sources?" >&2; exit 1; }
if grep -B3 'type="unfinished"' "$work/de.ts" | grep '<source>'; then
    echo "the texts above have no German text: run the update_translations target and translate" >&2
    exit 1
fi
echo "$messages texts, all translated"
