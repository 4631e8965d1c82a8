#!/usr/bin/env bash
# Installs what the builds and tests need on Debian 12. Quick when all is present: apt
# is only asked (and its lists only refreshed) for packages that are missing.
set -euo pipefail

packages=(
  # native build and unit tests
  cmake g++ make libgtest-dev nlohmann-json3-dev
  # Windows build and its runs under Wine
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
  # fuzzing and sanitizer builds with clang
  clang libclang-rt-14-dev
  # formatting
  clang-format
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed$'; then
    missing+=("$p")
  fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
  echo "setup-deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "setup-deps: installing ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null; then
    sudo=(sudo)
  else
    echo "setup-deps: must run as root (or with sudo) to install: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
