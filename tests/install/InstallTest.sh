#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what a desktop expects of it, and starts the
# installed program from another folder: --version, then the window until SIGTERM.
# Usage: InstallTest.sh BUILD_DIR
set -euo pipefail

build=$1
tmp=$(mktemp -d)
pid=""
cleanup() {
  if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/kelmo lib/kelmo/Btvid_32.so lib/kelmo/Btvid_32-v4l2.so \
  share/applications/kelmo.desktop share/man/man1/kelmo.1 \
  share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128}/apps/kelmo.png; do
  [[ -f "$prefix/$f" ]] || fail "$f is not installed"
done
desktop-file-validate "$prefix/share/applications/kelmo.desktop" || fail "desktop-file-validate"
warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/kelmo.1" 2>&1 >/dev/null)
[[ -z "$warnings" ]] || fail "man page warnings: $warnings"

export XDG_CONFIG_HOME=$tmp/config HOME=$tmp/home KELMO_INSTANCE=kelmo-install-test-$$
export QT_QPA_PLATFORM=offscreen
unset KELMO_CARD_LIBRARY KELMO_ANTENNA KELMO_I2C_LOG
mkdir -p "$tmp/elsewhere" "$HOME"
cd "$tmp/elsewhere"

version=$("$prefix/bin/kelmo" --sim --version)
grep -q '^Kelmo [0-9]' <<<"$version" || fail "--version: $version"
grep -qF "data: $tmp/config/kelmo" <<<"$version" || fail "settings not in XDG_CONFIG_HOME: $version"
grep -qF "$prefix/lib/kelmo/Btvid_32.so" <<<"$version" || fail "card library path: $version"

"$prefix/bin/kelmo" --sim 2>"$tmp/stderr" &
pid=$!
for _ in $(seq 100); do
  grep -q '^card loaded:' "$tmp/stderr" && break
  kill -0 "$pid" 2>/dev/null || fail "kelmo ended early: $(cat "$tmp/stderr")"
  sleep 0.2
done
grep -qF "card loaded: $prefix/lib/kelmo/Btvid_32.so" "$tmp/stderr" ||
  fail "the installed card library was not loaded: $(cat "$tmp/stderr")"
kill -TERM "$pid"
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$pid" 2>/dev/null && fail "kelmo did not end on SIGTERM"
wait "$pid" || true
pid=""
[[ -f "$tmp/config/kelmo/config.dat" ]] || fail "settings were not saved in XDG_CONFIG_HOME"
[[ -z "$(ls "$tmp/elsewhere")" ]] || fail "files left in the working folder: $(ls "$tmp/elsewhere")"
echo "installed and ran from $prefix"
