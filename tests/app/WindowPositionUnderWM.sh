#!/usr/bin/env bash
# Starts the built program seven times in a row on a virtual X display with
# a window manager (openbox), each time closing it as the user would, and
# checks that the window comes back where it was: the same bounds each time.
# Exits 77 (skipped) when Xvfb or openbox is missing.
set -u
program=$1 probe=$2 work=$3
for tool in Xvfb openbox xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (the set-up script installs it)"
    exit 77
  fi
done
rm -rf "$work" && mkdir -p "$work"
n=120
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2>/dev/null; wait 2>/dev/null' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
HOME=$work openbox >/dev/null 2>&1 &
wm=$!
# A window shown before the window manager runs is never framed: wait until
# it announces itself on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
first=""
for run in 1 2 3 4 5 6 7; do
  out=$(env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb HOME="$work" XDG_CONFIG_HOME="$work/config" \
    XDG_DATA_HOME="$work/data" CORVINA_PROBE_FRAME=1 LD_PRELOAD="$probe" \
    timeout 40 "$program" 2>"$work/stderr-$run")
  bounds=$(printf '%s\n' "$out" | sed -n 's/^geometry=//p')
  echo "start $run: window at $bounds"
  if [ -z "$bounds" ]; then
    echo "the program did not show its window:"; cat "$work/stderr-$run"; exit 1
  fi
  # The first start has no stored position; from the second on, each start
  # must show the window where the one before left it.
  if [ "$run" -eq 2 ]; then first=$bounds; fi
  if [ "$run" -gt 2 ] && [ "$bounds" != "$first" ]; then
    echo "the window moved or changed size: $first at start 2, $bounds at start $run"; exit 1
  fi
done
echo "the window stayed at $first"
