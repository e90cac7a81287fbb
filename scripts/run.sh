#!/bin/sh
# Installs what is needed, builds skeld-config and starts it.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja
cmake --build "$BUILD_DIR" --target skeld-config skeld_modules
exec "$BUILD_DIR/skeld-config" "$@"
