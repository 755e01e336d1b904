#!/usr/bin/env bash
# Installs what the player needs, builds it (Release, without tests, into build-player/) and
# starts it with the default interface: bash scripts/run-player.sh [FILE...]
# VK2_JOBS limits the build's parallel jobs (default: every processor).
# The files are handed to the player as on its own command line; when a player is running
# already, it takes them over.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VK2_PLAYER_BUILD:-$root/build-player}

"$root/scripts/install-deps.sh"

# The same compiler cache as the test command, so a machine that ran one builds the other fast.
export CCACHE_BASEDIR=$root
export CCACHE_NOHASHDIR=1
if [ -z "${CCACHE_DIR:-}" ] && ccache -p | grep -q '^(default) cache_dir '; then
  export CCACHE_DIR=/var/cache/velkora2-ccache
  mkdir -p "$CCACHE_DIR" 2>/dev/null || export CCACHE_DIR=${XDG_CACHE_HOME:-$HOME/.cache}/velkora2-ccache
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK2_BUILD_TESTS=OFF \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
fi
cmake --build "$build" -j "${VK2_JOBS:-$(nproc)}"

# Files named relative to where the command was given stay valid: the player keeps this folder.
exec "$build/bin/velkora2" "$@"
