#!/usr/bin/env bash
# Writes the inspector's seed corpus into OUT: one file of every kind the inspector
# reads, all made by the build itself from the forged sample game, so that no data file
# is kept in the repository:
#   brannock.rce   a race module            veilhull.spk  a ship pack
#   nebula.map     a map file               main.dat      the main data file's first 300 bytes
#   tutorial.yig   the tutorial's universe  cut.yig       its first 1200 bytes
#   game.dat       a host slot record       slot.dat      a player slot record
#
#   tools_fuzz_corpus.sh TARVIK SAMPLE_GAME OUT
set -euo pipefail
tarvik=$1
sample=$2
out=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$sample"/. "$work"/
export TARVIK_FIXED_CLOCK="2026-01-01 12:00:00"
unset DISPLAY
(cd "$work" && "$tarvik" --game-dir . scripts/tutorial.vps UNIV/GAME1/g1.yig /OX >/dev/null </dev/null)
(cd "$work" && "$tarvik" --game-dir . --seed 1 --generate 2 --map echo --races 101,102 >/dev/null </dev/null)

# The program finds folders without regard to letter case; find does the same here.
one() { find "$work" -ipath "$work/$1" -type f | head -n 1; }
rm -rf "$out"
mkdir -p "$out"
cp "$(one races/brannock.rce)" "$out/brannock.rce"
cp "$(one ships/veilhull.spk)" "$out/veilhull.spk"
cp "$(one data/nebula.map)" "$out/nebula.map"
head -c 300 "$(one data/main.dat)" >"$out/main.dat"
cp "$(one univ/game1/g1.yig)" "$out/tutorial.yig"
head -c 1200 "$out/tutorial.yig" >"$out/cut.yig"
cp "$(one univ/game2/game.dat)" "$out/game.dat"
cp "$(one war/slot2/slot.dat)" "$out/slot.dat"
