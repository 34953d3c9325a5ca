#!/usr/bin/env bash
# The checks make package runs on the package it built: unpacked into a
# staging root as dpkg would, the installed program answers --version, starts
# offscreen on a temporary configuration, finds the help file installed with
# it and ends in order on SIGTERM; the desktop entry, the AppStream file and
# every manual page pass their checkers, and lintian reports no error.
set -euo pipefail
deb=$(ls "${1:?usage: check-package.sh PACKAGE.deb}")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$stage/root"
bin=$stage/root/usr/bin/varnola
"$bin" --version | grep -q '^varnola ' || fail "--version did not answer"

mkdir -p "$stage/drives/C" "$stage/runtime"
chmod 700 "$stage/runtime"
printf '[drives]\nC=%s\n[io]\nports=%s\n[audio]\nbackend=simulated\n' \
  "$stage/drives/C" "$stage/ports" > "$stage/varnola.conf"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$stage/runtime \
  "$bin" --config "$stage/varnola.conf" 2> "$stage/stderr" &
pid=$!
for _ in $(seq 300); do
  [ -e "$stage/drives/C/Satfile/SatList.dat" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the installed program ended: $(cat "$stage/stderr")"
  sleep 0.1
done
[ -e "$stage/drives/C/Satfile/SatList.dat" ] || fail "the installed program made no data folder"
kill -TERM "$pid"
wait "$pid" || fail "the installed program did not end in order on SIGTERM"
! grep -q 'was not found' "$stage/stderr" || fail "$(cat "$stage/stderr")"

desktop-file-validate "$stage/root/usr/share/applications/org.varnola.Varnola.desktop"
appstreamcli validate --no-net "$stage/root/usr/share/metainfo/org.varnola.Varnola.metainfo.xml"
for page in "$stage"/root/usr/share/man/man*/*.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $(basename "$page"): $warnings"
done
lintian --fail-on error "$deb"
echo "check-package: $deb installs, starts and passes its checks"
