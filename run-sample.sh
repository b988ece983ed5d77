#!/usr/bin/env bash
# Installs what is missing, builds, and runs Tarvik on the bundled sample game in a
# fresh game folder (build/demo): a batch build of a universe from the tutorial script,
# a standard universe made headless from the epsilon map in host slot 2, then the
# wizard's two roads replayed without a display (host slots 6 and 7).
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

echo "== the race modules of the sample game =="
"$demo"/tarvik --list-races

echo "== tarvik scripts/tutorial.vps UNIV/GAME1/g1.yig /OX   (in $demo) =="
status=0
(cd "$demo" && ./tarvik scripts/tutorial.vps UNIV/GAME1/g1.yig /OX </dev/null) || status=$?
echo "tarvik ended with status $status"
[ "$status" -eq 0 ] || exit "$status"

echo "== what was made =="
(cd "$demo" && find . -iname g1.yig -exec ls -l {} \;)
echo "objects stored, by kind (planets are not logged one by one):"
sed -e 's/\r$//' "$demo"/tarvik.log | grep 'Object ID#' | sed -e 's/ Object ID#.*//' | sort | uniq -c
sed -e 's/\r$//' "$demo"/tarvik.log | grep -E '^(Adding Planets from|Error)' || true
echo "the whole run log: $demo/tarvik.log"

generate="--seed 1 --generate 2 --map epsilon --races 101,102,103,104,105,106,107,108 --layout spaced --extra-freighters 1"
echo
echo "== tarvik $generate   (in $demo) =="
status=0
(cd "$demo" && ./tarvik $generate </dev/null >generate.out) || status=$?
echo "tarvik ended with status $status (its run log: $demo/generate.out)"
[ "$status" -eq 0 ] || exit "$status"
echo "the fairness report printed after the run:"
sed -n '/^Fairness of the start positions/,$p' "$demo"/generate.out

echo "== what was made =="
(cd "$demo" && ./tarvik --list-slots | sed -n '/^Slot 2:/,/^Slot 3:/p' | sed '$d')
(cd "$demo" && find . -iname g2.yig -exec ls -l {} \;)
build/tarvik-summary "$demo"/univ/game2/g2.yig

for replay in standard scripted; do
  echo
  echo "== tarvik --seed 1 --replay replays/$replay.rpl   (in $demo) =="
  status=0
  (cd "$demo" && ./tarvik --seed 1 --replay replays/$replay.rpl </dev/null >$replay.out) || status=$?
  echo "tarvik ended with status $status (its output window: $demo/$replay.out)"
  [ "$status" -eq 0 ] || exit "$status"
done
echo "== what the wizard made =="
(cd "$demo" && ./tarvik --list-slots | sed -n '/^Slot 6:/,/^Slot 8:/p' | sed '$d')
echo "pictures of the steps (open them in a web browser): $demo/step*.svg, $demo/script-map.svg"
echo "the wizard's windows when each build was over: $demo/standard-done.json, $demo/scripted-done.json"
build/tarvik-summary "$demo"/univ/game6/g6.yig
echo
echo "== the tools: what was made, drawn, and a script checked   (in $demo) =="
(cd "$demo" && ./tarvik --inspect univ/game2/g2.yig >g2.json && ./tarvik --map-picture univ/game2/g2.yig g2.svg)
echo "$demo/g2.json: the universe file as JSON; $demo/g2.svg: its picture (open it in a web browser)"
(cd "$demo" && ./tarvik --check scripts/tutorial.vps)
