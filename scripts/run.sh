#!/usr/bin/env bash
# Installs what is missing, builds the game and its assets, and starts it. The
# game finds its data beside the binary and keeps the player's settings in
# $XDG_DATA_HOME/tidal-lynx (~/.local/share/tidal-lynx).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target tidal-lynx
exec build/release/game/tidal-lynx "$@"
