#!/usr/bin/env bash
# Installs what is missing, checks the layers of the source, builds, and runs the whole
# test suite twice: a normal build and a build with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
bash dev/install-deps.sh
jobs=$(nproc)

echo "== layers =="
# The shared layer checker lies beside the checkout (../shared/tools); a worktree
# elsewhere finds it in /work/shared/tools.
checker=""
for candidate in ../shared/tools/layers-check.py /work/shared/tools/layers-check.py; do
  if [ -f "$candidate" ]; then
    checker=$candidate
    break
  fi
done
if [ -n "$checker" ]; then
  python3 "$checker" .
else
  # The build itself still refuses an upward include (each library sees only its own
  # include folder and those of the layers below it).
  echo "run-tests.sh: WARNING: layers-check.py is in neither ../shared/tools nor /work/shared/tools;" \
       "only the build's own include rules check the layers" >&2
fi

echo "== normal build =="
# The tests explicitly: run-sample.sh configures the same folder without them.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_TESTS=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs"

echo "== sanitizer build (ASan + UBSan) =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVIK_SANITIZE=ON -DTARVIK_TESTS=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs"
