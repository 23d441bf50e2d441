#!/bin/sh
# Renders the PNG images from their vector sources (needs rsvg-convert from
# Debian's librsvg2-bin). The PNGs are kept in the repository.
set -eu
cd "$(dirname "$0")"
rsvg-convert -w 256 -h 256 skyvane.svg -o Quorix_Server_Patch_256.png
rsvg-convert -w 128 -h 128 skyvane.svg -o Quorix_Server_Patch_128.png
rsvg-convert -w 32 -h 32 skyvane.svg -o QuorixUpdater32.png
rsvg-convert -w 150 -h 480 skyvane-panel.svg -o Quorix_Server_Patch_150x480.png
rsvg-convert -w 26 -h 26 gear-blue.svg -o gear-blue.png
