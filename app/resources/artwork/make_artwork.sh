#!/usr/bin/env bash
# Redraws the main window's bitmaps, icons and cursor (see make_artwork.py).
# The generated files are committed; run this only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"
python3 make_artwork.py
