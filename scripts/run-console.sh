#!/usr/bin/env bash
# Starts the console. With a configuration (VARNOLA_CONFIG, or
# ~/.config/varnola/varnola.conf) it runs that station as it is. Without one
# it lays out a demonstration station under the build folder and runs the
# console on it, with the receiver simulator as COM1, so a newcomer watches
# the station switch, record, hand off and play within about three minutes.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

config=${VARNOLA_CONFIG:-${XDG_CONFIG_HOME:-$HOME/.config}/varnola/varnola.conf}
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

if [ -z "${VARNOLA_CONFIG:-}" ] && [ ! -e "$config" ]; then
  demo=$build/demo
  rm -rf "$demo"
  mkdir -p "$demo"
  "$build/tools/receiver-sim/receiver-sim" --link "$demo/com1" --log "$demo/receiver.log" >/dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -e "$demo/com1" ] && break; sleep 0.1; done
  lead=60
  at=$("$build/tools/demo-station/varnola-demo" "$demo" "$demo/com1" "$lead" 00:30)
  export VARNOLA_CONFIG=$demo/varnola.conf
  # The network's Play contact, closed for three seconds once the take has
  # been handed off: the console plays the first entry of its playlist.
  (
    sleep $((lead + 50))
    printf '\077' | dd of="$demo/ports" bs=1 seek=889 conv=notrunc status=none
    sleep 3
    printf '\177' | dd of="$demo/ports" bs=1 seek=889 conv=notrunc status=none
  ) &
  pids+=($!)
  cat <<TEXT
This is a demonstration station; no configuration was found at $config.
  Its files:        $demo (drives C, H and P under drives/)
  The receiver:     a simulator on $demo/com1, logging what it is sent to $demo/receiver.log
  At $at:     channel 1 records "Demonstration Programme" (cued 6 s before) for 30 s
                    from its first audio into drives/C/satfile, then hands it to drives/H
                    and drives/P (programs/SF8001...); 50 s after the start the
                    demonstration closes the Play contact and the console plays it
                    (to $demo/play.pcm). History shows the logs.
To run a real station, write $config (see the README: drive letters,
COM ports, I/O ports, audio) or point VARNOLA_CONFIG at one, and run make run again.
TEXT
fi

"$build/tools/install-help/varnola-install-help" "$here/../data/sathelp.rtf"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  if command -v xvfb-run >/dev/null; then
    echo "run-console: no display; starting under xvfb-run (screenshots only)" >&2
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/src/varnola"
    exit
  fi
  echo "run-console: no display; starting offscreen" >&2
  export QT_QPA_PLATFORM=offscreen
fi
"$build/src/varnola"
