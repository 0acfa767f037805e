#!/usr/bin/env bash
# Runs the capture test against real browsers: an X server (Xvfb), a
# private D-Bus session (dbus-run-session) and its accessibility bus
# (at-spi-bus-launcher); the test starts the browsers itself. Slow: the
# ctest label "browsers". Skips (77) when a piece is not installed.
set -u
test_binary=$1
for tool in chromium firefox-esr Xvfb dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (the test command installs it)"; exit 77; }
done
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "skipped: at-spi-bus-launcher is not installed (package at-spi2-core)"; exit 77; }

n=120
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Inside the session: the X server, the accessibility bus, then the test.
cat >"$work/inside.sh" <<INSIDE
#!/usr/bin/env bash
Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=\$!
for _ in \$(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
export DISPLAY=:$n GNOME_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=0
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
mkdir -p "\$XDG_RUNTIME_DIR" "\$HOME"
chmod 700 "\$XDG_RUNTIME_DIR"
$launcher --launch-immediately >"$work/bus.log" 2>&1 &
bus=\$!
sleep 1
"$test_binary"
status=\$?
kill \$bus \$xvfb 2>/dev/null
exit \$status
INSIDE
chmod +x "$work/inside.sh"
dbus-run-session -- "$work/inside.sh"
