#!/bin/sh
# Installs what is needed, builds everything and runs every test headless.
# Exits non-zero on any failure.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DSKELD_WERROR=ON
cmake --build "$BUILD_DIR"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@"
