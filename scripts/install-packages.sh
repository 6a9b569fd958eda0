#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, if any are missing.
# Usage: scripts/install-packages.sh viewer|headless|web|web-headless|test
#   viewer:       what building and starting the native viewer needs
#   headless:     the virtual display and the tools that show the viewer's first frame without a display
#   web:          what building and serving the web page needs
#   web-headless: the browser and driver that show the page's first frame without a display
#   test:         everything: all the builds, the tests and their virtual displays and browser
set -euo pipefail

# The native viewer: compilers, SDL2, OpenGL and Xlib (the Win32 subset picks its GL visual
# through Xlib), stb for the icon maker's PNGs, and xdpyinfo to tell whether there is a display
# to show it on.
viewer_packages=(cmake ninja-build g++ pkg-config libsdl2-dev libgl-dev libx11-dev libstb-dev x11-utils)
# No display: Xvfb, xdotool to press Return on the notice, xdpyinfo to know when Xvfb answers, xwd
# and netpbm for the picture.
headless_packages=(xvfb xdotool x11-apps x11-utils netpbm)
# The web page: Emscripten (with Node.js, which it runs on), the host tools' compiler and stb,
# and Python for the static web server.
web_packages=(cmake ninja-build emscripten nodejs g++ libstb-dev python3)
# No display: headless Chromium, driven through puppeteer-core from npm. Debian's npm only where
# no npm is there: Node.js from elsewhere (NodeSource) brings its own, and conflicts with Debian's.
web_headless_packages=(chromium)
command -v npm >/dev/null || web_headless_packages+=(npm)
# The tests: GoogleTest, Mesa's offscreen renderer, libxdo for the end-to-end driver, clang-format
# for the layout check, a window manager and wmctrl, the Windows cross builds with a resource
# reader, 32-bit Wine with i386 Mesa (direct rendering) to run the 32-bit product, and 64-bit Wine
# to run the 64-bit build where the kernel cannot run 32-bit programs, gcc-multilib
# for the benchmarks' 32-bit swap counter, what makes and checks the Debian package, and Firefox ESR
# for the page's tests in a second browser.
test_packages=("${viewer_packages[@]}" "${headless_packages[@]}"
  libgtest-dev libosmesa6-dev libxdo-dev openbox wmctrl dpkg-dev file lintian desktop-file-utils clang-format
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 icoutils
  wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 wine64 gcc-multilib
  firefox-esr "${web_packages[@]}" "${web_headless_packages[@]}")

case "${1:-}" in
  viewer) wanted=("${viewer_packages[@]}") ;;
  headless) wanted=("${headless_packages[@]}") ;;
  web) wanted=("${web_packages[@]}") ;;
  web-headless) wanted=("${web_headless_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 viewer|headless|web|web-headless|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  # 32-bit Wine and its Mesa come from Debian's i386 architecture.
  if [[ "${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The browser tests' driver, puppeteer-core, from npm at the versions of its lock file (it
# downloads no browser: Debian's Chromium runs the page).
if [ "$1" = test ] || [ "$1" = web-headless ]; then
  web="$(dirname "$0")/../tests/web"
  [ "$web/node_modules/.package-lock.json" -nt "$web/package-lock.json" ] ||
    npm ci --prefix "$web" --no-audit --no-fund >/dev/null
fi
