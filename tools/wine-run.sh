#!/usr/bin/env bash
# CTest's cross-compiling emulator: runs a Windows program with the 64-bit loader
# in the project's own prefix (the caller provides DISPLAY).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
wine_ensure_prefix || { echo "wine prefix set-up failed" >&2; exit 1; }
exec "$WINELOADER" "$@"
