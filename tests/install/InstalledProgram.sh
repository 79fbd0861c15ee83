# Checks shared by the install test, the package test and `make deb-check`: what a desktop expects of
# an installed Kelmo, and a run of the installed program from another folder (--version, then the
# window until SIGTERM). Sourced; the caller sets `set -euo pipefail` and gives a scratch folder.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The installed files under PREFIX, with the card libraries in CARD_DIR; validates the launcher, the
# AppStream metainfo and the manual page (plain or compressed).
check_installed_files() {
  local prefix=$1 card_dir=$2 f man=()
  for f in bin/kelmo share/applications/kelmo.desktop \
    share/metainfo/io.github.kelmo.Kelmo.metainfo.xml \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128}/apps/kelmo.png; do
    [[ -f "$prefix/$f" ]] || fail "$f is not installed"
  done
  for f in Btvid_32.so Btvid_32-v4l2.so; do
    [[ -f "$card_dir/$f" ]] || fail "$card_dir/$f is not installed"
  done
  desktop-file-validate "$prefix/share/applications/kelmo.desktop" || fail "desktop-file-validate"
  appstreamcli validate --no-net "$prefix/share/metainfo/io.github.kelmo.Kelmo.metainfo.xml" \
    >/dev/null || fail "appstreamcli validate: $(appstreamcli validate --no-net \
    "$prefix/share/metainfo/io.github.kelmo.Kelmo.metainfo.xml" 2>&1)"
  man=("$prefix"/share/man/man1/kelmo.1*)
  [[ -f "${man[0]}" ]] || fail "the manual page is not installed"
  local warnings
  warnings=$(MANWIDTH=80 man --warnings -l "${man[0]}" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "man page warnings: $warnings"
}

# Runs PREFIX/bin/kelmo with the simulated devices from an empty folder under SCRATCH, with its
# settings in SCRATCH/config: it must name and load the simulated card from CARD_DIR, keep its
# settings there and leave nothing in the folder it ran in.
check_installed_program() {
  local prefix=$1 card_dir=$2 scratch=$3 version pid
  (
    export XDG_CONFIG_HOME=$scratch/config HOME=$scratch/home
    export KELMO_INSTANCE=kelmo-installed-$$ QT_QPA_PLATFORM=offscreen
    unset KELMO_CARD_LIBRARY KELMO_ANTENNA KELMO_I2C_LOG
    mkdir -p "$scratch/elsewhere" "$HOME"
    cd "$scratch/elsewhere"

    version=$("$prefix/bin/kelmo" --sim --version)
    grep -q '^Kelmo [0-9]' <<<"$version" || fail "--version: $version"
    grep -qF "data: $scratch/config/kelmo" <<<"$version" ||
      fail "settings not in XDG_CONFIG_HOME: $version"
    grep -qF "$card_dir/Btvid_32.so" <<<"$version" || fail "card library path: $version"

    "$prefix/bin/kelmo" --sim 2>"$scratch/stderr" &
    pid=$!
    trap 'kill -KILL $pid 2>/dev/null || true' EXIT
    for _ in $(seq 100); do
      grep -q '^card loaded:' "$scratch/stderr" && break
      kill -0 "$pid" 2>/dev/null || fail "kelmo ended early: $(cat "$scratch/stderr")"
      sleep 0.2
    done
    grep -qF "card loaded: $card_dir/Btvid_32.so" "$scratch/stderr" ||
      fail "the installed card library was not loaded: $(cat "$scratch/stderr")"
    kill -TERM "$pid"
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.2
    done
    kill -0 "$pid" 2>/dev/null && fail "kelmo did not end on SIGTERM"
    wait "$pid" || true
    trap - EXIT
    [[ -f "$scratch/config/kelmo/config.dat" ]] || fail "settings were not saved in XDG_CONFIG_HOME"
    [[ -z "$(ls "$scratch/elsewhere")" ]] ||
      fail "files left in the working folder: $(ls "$scratch/elsewhere")"
  )
}
