#!/bin/sh
# Installs every Debian package the build, the program and the tests need.
# Idempotent: apt-get skips what is already present.
set -eu
PACKAGES="build-essential cmake ninja-build pkg-config
 qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
 qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
 qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtqml-workerscript
 qml6-module-qttest qml6-module-qtquick-dialogs
 libqt6svg6 qt6-svg-dev qml6-module-qtquick-shapes
 libhidapi-dev libudev-dev libxi-dev libx11-dev libglib2.0-dev
 xvfb xauth xdotool x11-utils gsettings-desktop-schemas libglib2.0-bin dbus
 libgl1-mesa-dri fonts-dejavu-core fonts-wqy-microhei
 qt6-wayland qt6-gtk-platformtheme qt6-xdgdesktopportal-platformtheme"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
