#!/bin/sh
# Builds the Qt-free half of the tree with Qt made unfindable, then runs its
# tests. Any Qt include in core/ or protocol/ fails the compile here.
set -eu
src=$1
out=$2
cmake -S "$src" -B "$out" -DZERVIK_CORE_ONLY=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null
cmake --build "$out" -j2
if grep -rnE '#include[[:space:]]*[<"]Q' "$src/core" "$src/protocol"; then
  echo "core/ or protocol/ includes a Qt header" >&2
  exit 1
fi
# Building is the proof; the tests themselves run in the main build.
