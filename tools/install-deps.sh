#!/usr/bin/env bash
# Installs the Debian packages that building (`build`) or also testing (`test`) needs,
# but only those that are missing, so a prepared machine is left alone.
set -euo pipefail

build_packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libmikmod-dev)
test_packages=(faketime strace valgrind pulseaudio pulseaudio-utils sox util-linux coreutils binutils)

case "${1:-build}" in
  build) wanted=("${build_packages[@]}") ;;
  test) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [build|test]" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
