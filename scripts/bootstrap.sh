#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the project needs.
# Idempotent: packages already present are left alone, so running it twice is harmless.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb xdotool imagemagick desktop-file-utils
    g++-mingw-w64-x86-64 wine wine64
    clang-format ccache lintian appstream locales
    clang libclang-rt-14-dev
    libboost1.81-dev libpaho-mqttpp-dev libpaho-mqtt-dev
    mosquitto mosquitto-clients openssl
    chromium chromium-driver python3-selenium
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "bootstrap: all packages present"
    exit 0
fi

echo "bootstrap: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
