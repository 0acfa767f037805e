#!/usr/bin/env bash
# Set-up for a fresh Debian 12 machine: installs what is missing, builds, and
# then starts Corvina ("run") or runs every test ("test").
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_PACKAGES=(cmake ninja-build g++ ccache pkg-config qt6-base-dev libgl-dev
  libsqlite3-dev zlib1g-dev libpcre2-dev libcurl4-openssl-dev libgtest-dev libbenchmark-dev
  libatspi2.0-dev libx11-dev nlohmann-json3-dev libidn2-dev
  adwaita-icon-theme fonts-dejavu-core whois sqlite3 traceroute curl)
# Without a display the window is served over VNC on localhost, in a small
# window manager so that it has a title bar; the browser address capture
# asks the desktop's accessibility bus.
RUN_PACKAGES=(xvfb x11vnc xauth openbox at-spi2-core)
# Tests that start the program under a real X server with a window manager,
# tests that build routes of network namespaces, the HTTP and RDAP tests with
# a web server of their own (openssl makes the RDAP server's certificates),
# and the browser capture with real browsers in a
# D-Bus session with the accessibility bus.
TEST_PACKAGES=(xvfb xauth openbox x11-utils iproute2 libcap2-bin nginx openssl
  chromium firefox-esr at-spi2-core dbus-daemon)

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${missing[@]}"
}

# Configures and builds the given targets (all when none are given).
build() {
  cmake -S . -B build -G Ninja
  cmake --build build ${1:+--target "$@"}
}

run_without_display() {
  local n=90 port=5900 log=build/virtual-display.log
  while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  local display=":$n"
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$log" 2>&1 &
  local xvfb=$!
  trap 'kill ${vnc:-} ${wm:-} $xvfb 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  DISPLAY="$display" openbox >>"$log" 2>&1 &
  local wm=$!
  x11vnc -display "$display" -localhost -rfbport "$port" -forever -shared -nopw -quiet >>"$log" 2>&1 &
  local vnc=$!
  echo "No display found: Corvina is served over VNC on localhost:$port"
  echo "(connect with a VNC viewer, for example: vncviewer localhost:$port)"
  DISPLAY="$display" ./build/bin/corvina
}

case "${1:-}" in
  run)
    install_missing "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
    # Only the program and what it ships: the tests and benchmarks are built
    # by the test command.
    build corvina
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
      exec ./build/bin/corvina
    fi
    run_without_display
    ;;
  test)
    install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build
    ctest --test-dir build --output-on-failure -j2
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
