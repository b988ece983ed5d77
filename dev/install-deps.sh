#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing: the
# compiler, python3 for the layer check and the test libraries; FLTK for the wizard's windows (tarvik-wizard); and for
# the tests of those windows a virtual X display (xvfb), real X events (xdotool),
# screenshots (imagemagick), readelf (binutils), the drop of root for the read-only
# folder test (util-linux's setpriv) and a sans serif face with the metrics of the
# windows' layout (fonts-urw-base35).
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config python3 libgtest-dev libgmock-dev libbenchmark-dev
          libfltk1.3-dev libx11-dev xvfb xdotool imagemagick binutils util-linux fontconfig fonts-urw-base35)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root=()
  [ "$(id -u)" -ne 0 ] && as_root=(sudo)
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}"
fi
