#!/usr/bin/env bash
# Installs what Kivex needs to build and test on Debian 12, from Debian's own packages.
set -euo pipefail
packages=(g++ cmake ninja-build libgtest-dev libgmock-dev qt6-base-dev clang libclang-rt-14-dev)
# tools/lint.sh: the formatter and the static checks of the checked-in configurations.
packages+=(clang-format clang-tidy)
# The window's scenario in a real X server: the server, a window manager, input, window queries
# and a pixel reader.
packages+=(xvfb openbox xdotool x11-utils imagemagick)
# The Python module, its tests and the cluster example.
packages+=(python3-dev pybind11-dev python3-numpy python3-pytest python3-dask python3-distributed)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
