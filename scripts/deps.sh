#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the reader need.
# Only what is missing is installed, so a ready machine pays nothing.
# Usage: scripts/deps.sh [core|all]   (core: no Qt, no display tools)
set -euo pipefail

core_pkgs=(cmake g++ ninja-build ccache zlib1g-dev libgtest-dev googletest
           nlohmann-json3-dev libcli11-dev libbenchmark-dev clang libclang-rt-14-dev)
# One-call inflate of blocks with a sane declared length.
core_pkgs+=(libdeflate-dev)
# The browser apps are TypeScript built by esbuild from npm (see web_deps).
core_pkgs+=(nodejs)
# The classroom server: HTTP, the QR code of its address, and pkg-config to find them.
core_pkgs+=(libmicrohttpd-dev libqrencode-dev pkg-config)
ui_pkgs=(qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libqt6webenginecore6-bin
         libgl-dev libfontconfig-dev fonts-noto-cjk xvfb xauth xdotool imagemagick)
# Qt's Chinese catalogues; drawing the icon's PNG sizes; checking the install
# and the .deb (xdg-mime needs File::MimeInfo without a desktop session).
ui_pkgs+=(qt6-translations-l10n librsvg2-bin desktop-file-utils appstream shared-mime-info
          xdg-utils libfile-mimeinfo-perl lintian dpkg-dev file)
# The start-up benchmark watches the X server for the window's first drawing;
# it and the real-window tests run under a window manager, so windows open
# maximised, and read those windows from outside.
ui_pkgs+=(pkg-config libxcb1-dev libxcb-damage0-dev openbox x11-utils)
# The real-window tests read the reader as a screen reader does (AT-SPI).
ui_pkgs+=(python3-pyatspi at-spi2-core dbus-x11)
# The browser tests drive Debian's chromium; npm never downloads one.
ui_pkgs+=(chromium)

want=("${core_pkgs[@]}")
[ "${1:-all}" = core ] || want+=("${ui_pkgs[@]}")

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# Some nodejs builds carry npm themselves; Debian's ships it apart.
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# esbuild, typescript, playwright-core and axe-core as package-lock.json
# pins them; again only when the lock file changed since the last install.
root=$(cd "$(dirname "$0")/.." && pwd)
if ! cmp -s "$root/package-lock.json" "$root/node_modules/.package-lock.json.installed" 2>/dev/null; then
  (cd "$root" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error >&2)
  cp "$root/package-lock.json" "$root/node_modules/.package-lock.json.installed"
fi
