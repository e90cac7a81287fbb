#!/bin/sh
# Takes the screenshots shown in the README, on a private Xvfb server.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
cmake --build "$BUILD_DIR" --target skeld_screenshots skeld_modules tst_user_path_e2e
tmp=$(mktemp)
Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp >"$tmp" 2>/dev/null &
XVFB=$!
trap 'kill $XVFB 2>/dev/null; rm -f "$tmp"' EXIT
i=0
while [ ! -s "$tmp" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
DISPLAY=":$(head -n1 "$tmp")"
export DISPLAY
SKELD_SOURCE_DIR="$PWD" SKELD_BUILD_DIR="$PWD/$BUILD_DIR" \
  "$BUILD_DIR/tests/qml_pages/skeld_screenshots" docs
# The main page once more in French.
fr=$(mktemp -d)
SKELD_SOURCE_DIR="$PWD" SKELD_BUILD_DIR="$PWD/$BUILD_DIR" \
  "$BUILD_DIR/tests/qml_pages/skeld_screenshots" "$fr" French
cp "$fr/main.png" docs/main-fr.png
cp "$fr/system-settings.png" docs/system-settings-fr.png
rm -rf "$fr"
# The assignment pop-up and the macro editor with a recorded macro are shot
# by the whole-program test, which records the macro on its way.
SKELD_SCREENSHOT_DIR="$PWD/docs" ctest --test-dir "$BUILD_DIR" -R '^tst_user_path_e2e$' --output-on-failure
