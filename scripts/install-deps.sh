#!/usr/bin/env bash
# Installs the Debian packages Quarn builds, tests and runs with. Idempotent: asks dpkg first and
# runs apt-get only for what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  liblua5.1-0-dev libtinyxml-dev libboost-dev
  libsdl2-dev libepoxy-dev libpng-dev libjpeg-dev libstb-dev libsquish-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core libsndfile1-dev libkissfft-dev
  glslang-dev glslang-tools liburing-dev libx11-dev zenity
  googletest libgtest-dev libgmock-dev libbenchmark-dev libbox2d-dev xvfb xauth xdotool
)

# `install-deps.sh fuzz` adds clang and its fuzzer runtime for `make fuzz`.
if [[ "${1:-}" == fuzz ]]; then
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
