#!/usr/bin/env bash
# Remakes docs/screenshot.png: the built program on a real file, in its own
# window under a private X server (Xvfb) with a window manager (openbox).
#   tools/screenshot.sh [FILE]    (build first: ./build.sh test or ./build.sh run)
# Needs xvfb, openbox, xdotool and imagemagick (installed when missing, as root).
set -euo pipefail
cd "$(dirname "$0")/.."
file=${1:-/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf}
program=build/src/app/bytemoor
out=docs/screenshot.png
[ -x "$program" ] || { echo "build the program first: ./build.sh run" >&2; exit 1; }

need=()
for tool in Xvfb:xvfb openbox:openbox xdotool:xdotool import:imagemagick; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool#*:}")
done
if [ ${#need[@]} -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || { echo "install: ${need[*]}" >&2; exit 1; }
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

scratch=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

display=:97
while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=:$(( ${display#:} + 1 )); done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 & pids+=($!)
sleep 1

mkdir -p "$scratch/tmp" "$scratch/config"
TMPDIR=$scratch/tmp XDG_CONFIG_HOME=$scratch/config "$program" "$file" >/dev/null 2>&1 & pids+=($!)
window=
for _ in $(seq 100); do
  window=$(xdotool search --name "Редактируемый файл" 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the program's window did not appear" >&2; exit 1; }
sleep 1
# A few lines down, with a selection, so the picture shows the cursor and the
# selection colours as well as the data.
xdotool windowactivate --sync "$window" key --clearmodifiers Down Down Right Right
xdotool key --clearmodifiers shift+Right shift+Right shift+Right shift+Right shift+Right
sleep 0.5
import -window "$window" -frame "$out"
echo "wrote $out"
