#!/bin/sh
# Renders the PNG images from their vector sources, each at 1x and, for the
# images the windows show, at 2x ("@2x", picked by Qt on high-DPI screens).
# Needs rsvg-convert from Debian's librsvg2-bin. The PNGs are kept in the
# repository.
set -eu
cd "$(dirname "$0")"
render() { # SOURCE WIDTH HEIGHT NAME
    rsvg-convert -w "$2" -h "$3" "$1" -o "$4.png"
    rsvg-convert -w $(($2 * 2)) -h $(($3 * 2)) "$1" -o "$4@2x.png"
}
rsvg-convert -w 256 -h 256 skyvane.svg -o Quorix_Server_Patch_256.png
render skyvane.svg 128 128 Quorix_Server_Patch_128
render skyvane.svg 32 32 QuorixUpdater32
render skyvane-panel.svg 150 480 Quorix_Server_Patch_150x480
render gear-blue.svg 26 26 gear-blue
python3 make-ico.py skyvane.ico QuorixUpdater32.png QuorixUpdater32@2x.png Quorix_Server_Patch_128.png Quorix_Server_Patch_256.png
