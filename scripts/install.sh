#!/bin/sh
# Installs skeld-config for the current user as a portable folder (the
# program rewrites its settings files beside the executable, so it must live
# somewhere the user can write), with a menu entry and, if asked, an autostart
# entry for the tray. --system also installs the udev rule that lets the
# logged-in user open the mouse's hidraw nodes (this part asks for sudo).
#
# Running it again updates the program and keeps the user's settings.
set -eu

usage() {
    cat <<'USAGE'
usage: scripts/install.sh [--autostart | --no-autostart] [--system | --system-only]
                          [--build-dir DIR] [--prefix DIR]
  --autostart     start skeld-config in the tray at login
  --no-autostart  remove the autostart entry
  --system        also install the udev rule for the mouse (needs sudo)
  --system-only   install only the udev rule
  --build-dir DIR take the program from DIR (default: build; built if missing)
  --prefix DIR    install into DIR (default: $XDG_DATA_HOME/skeld-config)
USAGE
}

cd "$(dirname "$0")/.."
SRC=$(pwd)
BUILD_DIR=${BUILD_DIR:-build}
AUTOSTART=keep
SYSTEM=0
USER_PART=1
PREFIX=""
while [ $# -gt 0 ]; do
    case $1 in
    --autostart) AUTOSTART=yes ;;
    --no-autostart) AUTOSTART=no ;;
    --system) SYSTEM=1 ;;
    --system-only) SYSTEM=1; USER_PART=0 ;;
    --build-dir) [ $# -ge 2 ] || { usage >&2; exit 2; }; BUILD_DIR=$2; shift ;;
    --prefix) [ $# -ge 2 ] || { usage >&2; exit 2; }; PREFIX=$2; shift ;;
    -h | --help) usage; exit 0 ;;
    *) echo "install.sh: unknown option: $1" >&2; usage >&2; exit 2 ;;
    esac
    shift
done

RULE=70-skeld-config.rules

# Under sudo only the rule is ours to install: the program belongs in the
# user's home, owned by the user.
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ] && [ "$USER_PART" -eq 1 ]; then
    if [ "$SYSTEM" -eq 1 ]; then
        USER_PART=0
        echo "running under sudo: installing the udev rule only; run ./scripts/install.sh without sudo for the program"
    else
        echo "install.sh: run it without sudo; it installs into your home and asks for sudo itself where needed" >&2
        exit 2
    fi
fi

install_rule() {
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO install -D -m 644 "$SRC/packaging/$RULE" "/etc/udev/rules.d/$RULE"
    echo "installed /etc/udev/rules.d/$RULE"
    # Nodes of a mouse that is already plugged in get the new access now.
    if command -v udevadm >/dev/null 2>&1; then
        $SUDO udevadm control --reload-rules 2>/dev/null &&
            $SUDO udevadm trigger --subsystem-match=hidraw --action=change 2>/dev/null ||
            echo "udev is not running here: the rule applies from the next plug-in or boot"
    fi
}

if [ "$USER_PART" -eq 1 ]; then
    : "${HOME:?install.sh: HOME is not set}"
    DATA_HOME=${XDG_DATA_HOME:-$HOME/.local/share}
    CONFIG_HOME=${XDG_CONFIG_HOME:-$HOME/.config}
    PREFIX=${PREFIX:-$DATA_HOME/skeld-config}
    case $PREFIX in /*) ;; *) PREFIX=$(pwd)/$PREFIX ;; esac
    # Desktop entries cannot quote these safely.
    case $PREFIX in
    *[\"\`\$\\%]* | *'
'*)
        echo "install.sh: the install folder must not contain \" \` \$ \\ % or newlines: $PREFIX" >&2
        exit 2 ;;
    esac

    case $BUILD_DIR in /*) ;; *) BUILD_DIR=$SRC/$BUILD_DIR ;; esac
    if [ ! -x "$BUILD_DIR/skeld-config" ]; then
        ./scripts/setup.sh
        cmake -S . -B "$BUILD_DIR" -G Ninja
        cmake --build "$BUILD_DIR" --target skeld-config
    fi

    mkdir -p "$PREFIX"
    # Replace the program in one step, also while an old copy runs.
    install -m 755 "$BUILD_DIR/skeld-config" "$PREFIX/.skeld-config.new"
    mv -f "$PREFIX/.skeld-config.new" "$PREFIX/skeld-config"
    # Shipped data only where the user has none yet: settings, macros and
    # presets written by the program stay as they are.
    (cd "$SRC" && find modules -type f) | while IFS= read -r f; do
        [ -e "$PREFIX/$f" ] || install -D -m 644 "$SRC/$f" "$PREFIX/$f"
    done

    esc() { printf '%s' "$1" | sed -e 's/[&|]/\\&/g'; }
    entry() {
        mkdir -p "$(dirname "$2")"
        sed -e "s|@EXEC@|$(esc "$PREFIX/skeld-config")|g" \
            -e "s|@DIR@|$(esc "$PREFIX")|g" \
            -e "s|@ICON@|$(esc "$PREFIX/modules/img/logo.ico")|g" \
            "$SRC/packaging/$1" >"$2.tmp"
        mv -f "$2.tmp" "$2"
        chmod 644 "$2"
    }
    entry skeld-config.desktop.in "$DATA_HOME/applications/skeld-config.desktop"
    case $AUTOSTART in
    yes) entry skeld-config-autostart.desktop.in "$CONFIG_HOME/autostart/skeld-config.desktop" ;;
    no) rm -f "$CONFIG_HOME/autostart/skeld-config.desktop" ;;
    esac
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database -q "$DATA_HOME/applications" 2>/dev/null || true
    fi
    echo "installed $PREFIX/skeld-config"
fi

if [ "$SYSTEM" -eq 1 ]; then
    install_rule
fi
