#!/usr/bin/env bash
# Installs what is missing, builds, and runs Tarvik on the bundled sample game in a
# fresh game folder (build/demo).
set -euo pipefail
cd "$(dirname "$0")"
bash dev/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)"

demo=build/demo
rm -rf "$demo"
mkdir -p "$demo"
if [ -d build/sample-game ]; then cp -r build/sample-game/. "$demo"/; fi
cp build/tarvik "$demo"/

echo "== start-up in $demo: the race modules found =="
"$demo"/tarvik --list-races
echo "== folders laid out by the start-up =="
(cd "$demo" && find . -maxdepth 2 -type d | sort)
