#!/bin/sh
# Installs what is needed, builds everything and runs every test headless.
# Exits non-zero on any failure.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DSKELD_WERROR=ON
cmake --build "$BUILD_DIR"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" "$@"

# Once more under AddressSanitizer and UndefinedBehaviorSanitizer: the tests
# that feed the program what others hand it - copy-data records,
# single-instance messages, device replies, tables and events, settings,
# profile and macro files - where a read past a buffer would hide. Only
# those targets are built, which keeps this within CI's time.
# SKELD_NO_SANITIZE=1 skips it.
if [ "${SKELD_NO_SANITIZE:-0}" != 1 ]; then
    ASAN_DIR="${ASAN_DIR:-build-asan}"
    cmake -S . -B "$ASAN_DIR" -G Ninja -DSKELD_WERROR=ON -DSKELD_SANITIZE=address,undefined
    targets="tst_copydata tst_single_instance tst_wire_commands tst_device_detection tst_settings_store tst_profile_files tst_macro_files tst_features_device"
    # shellcheck disable=SC2086 # one target per word
    cmake --build "$ASAN_DIR" --target $targets skeld_modules
    # Qt and its plugins keep caches for the process's life: leaks are not
    # what this run is for. Undefined behaviour stops the test that hit it.
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    ctest --test-dir "$ASAN_DIR" --output-on-failure -j "$(nproc)" -R "^($(echo $targets | tr ' ' '|'))\$"
fi
