#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what a desktop expects of it, and starts the
# installed program from another folder.
# Usage: InstallTest.sh BUILD_DIR
set -euo pipefail

build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "$0")/InstalledProgram.sh"

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
check_installed_files "$prefix" "$prefix/lib/kelmo"
check_installed_program "$prefix" "$prefix/lib/kelmo" "$tmp"
echo "installed and ran from $prefix"
