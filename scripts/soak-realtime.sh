#!/usr/bin/env bash
# The real-time half of make soak: runs the real console, offscreen, for
# SOAK_SECONDS (default 3600) on a station laid out under BUILD/soak. Both
# channels record programmes back to back from FIFOs fed in real time, each
# take is handed to drives H and P, the Play contact is closed now and then,
# and the receiver simulator is polled for Eb/No every minute. The console's
# memory, descriptors and CPU are sampled along the way; at the end
# soak-station prints its report (kept as BUILD/soak/report.txt) and the exit
# status is 1 when a property failed.
#
#   SOAK_SECONDS          how long the soak runs (at least about 300)
#   SOAK_TAKE_SECONDS     the longest take (default 240)
#   SOAK_RSS_TOLERANCE_KB growth of resident memory allowed (default 4096)
#   SOAK_KEEP=1           keep the wave files of a soak that passed
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
seconds=${SOAK_SECONDS:-3600}
soak=$build/soak
tool=$build/tools/soak-station/soak-station
end=$(($(date +%s) + seconds))

helpers=()
console=
alive() {
  local state
  state=$(awk '{print $3}' "/proc/$console/stat" 2>/dev/null) && [ -n "$state" ] && [ "$state" != Z ]
}
cleanup() {
  if [ -n "$console" ] && alive; then kill -TERM "$console" 2>/dev/null || true; fi
  for pid in "${helpers[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

rm -rf "$soak"
mkdir -p "$soak/home" "$soak/runtime"
chmod 700 "$soak/runtime"
"$build/tools/receiver-sim/receiver-sim" --link "$soak/com1" --log "$soak/receiver.log" >/dev/null &
helpers+=($!)
for _ in $(seq 50); do [ -e "$soak/com1" ] && break; sleep 0.1; done
# shellcheck disable=SC2086 # an unset length is no argument at all
"$tool" lay-out "$soak" "$soak/com1" "$end" ${SOAK_TAKE_SECONDS:-}
"$tool" feed "$soak/input1.pcm" "$soak/feed1.txt" &
helpers+=($!)
"$tool" feed "$soak/input2.pcm" "$soak/feed2.txt" &
helpers+=($!)
"$tool" relays "$soak/ports" "$soak/relays.txt" &
helpers+=($!)

VARNOLA_CONFIG=$soak/varnola.conf QT_QPA_PLATFORM=offscreen HOME=$soak/home \
  XDG_RUNTIME_DIR=$soak/runtime "$build/src/varnola" >"$soak/console.log" 2>&1 &
console=$!
echo "launch $(date +%s) $console" >>"$soak/harness.txt"
echo "soak: console $console runs until $(date -d "@$end" +%H:%M:%S); everything is in $soak"

# Resident memory, open descriptors, CPU ticks (utime + stime; the command
# name in field 2 has no blanks) and the threads of Qt's pool, which come
# and go with the window's painting, each with an event descriptor of its
# own. The start and end samples also list what the descriptors are, pipe
# and socket numbers left out.
sample() {
  local rss fds ticks pooled
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$console/status")
  fds=$(find "/proc/$console/fd" -mindepth 1 -maxdepth 1 | wc -l)
  ticks=$(awk '{print $14 + $15}' "/proc/$console/stat")
  pooled=$(cat "/proc/$console"/task/*/comm | grep -c '^Thread (pooled)$' || true)
  echo "sample $1 $(date +%s) $rss $fds $ticks $pooled" >>"$soak/harness.txt"
  if [ "$1" != minute ]; then
    find "/proc/$console/fd" -mindepth 1 -maxdepth 1 -printf '%l\n' 2>/dev/null |
      sed 's/\[[0-9]*\]$//' | sort >"$soak/fds-$1.txt"
    echo "soak: $(date +%H:%M:%S) $1: ${rss} kB resident, $fds descriptors"
  fi
}
# Byte 889 holds the contacts, inverted: 63 closes Play, 127 opens all.
contacts() {
  printf '%b' "\\$(printf '%03o' "$1")" | dd of="$soak/ports" bs=1 seek=889 conv=notrunc status=none
}

while read -r at action label; do
  while :; do
    now=$(date +%s)
    if ! alive; then
      echo "died $now" >>"$soak/harness.txt"
      echo "soak: the console died at $(date +%H:%M:%S)" >&2
      break 2
    fi
    [ "$now" -lt "$at" ] || break
    sleep $((at - now > 5 ? 5 : at - now))
  done
  case $action in
  press)
    contacts 63
    echo "press $(date +%s)" >>"$soak/harness.txt"
    ;;
  release) contacts 127 ;;
  sample) sample "$label" ;;
  stop) break ;;
  esac
done <"$soak/events.txt"

status=0
if alive; then
  kill -TERM "$console"
  for _ in $(seq 600); do alive || break; sleep 0.1; done
  alive && kill -KILL "$console"
fi
wait "$console" || status=$?
echo "exit $(date +%s) $status" >>"$soak/harness.txt"
console=
for pid in "${helpers[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
for pid in "${helpers[@]}"; do wait "$pid" || true; done
helpers=()

result=0
"$tool" report "$soak" "${SOAK_RSS_TOLERANCE_KB:-4096}" || result=$?
if [ "$result" -eq 0 ] && [ -z "${SOAK_KEEP:-}" ]; then
  find "$soak/drives" -iname '*.wav' -delete
  rm -f "$soak/play.pcm"
  echo "soak: the wave files are removed (SOAK_KEEP=1 keeps them)"
fi
exit "$result"
