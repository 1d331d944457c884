#!/bin/sh
# Builds the match-message fuzz target with clang's libFuzzer and the
# address and undefined-behaviour sanitizers, straight from the Qt-free
# sources, and runs it for a bounded time. Exits non-zero when the fuzzer
# finds a crash (the crashing input is left in the build folder).
#
#   run_fuzz.sh SOURCE_DIR BUILD_DIR [SECONDS]
set -eu
src=$1
out=$2
seconds=${3:-60}
cxx=${CLANGXX:-clang++-14}
command -v "$cxx" >/dev/null 2>&1 || { echo "$cxx not found (Debian package clang-14)" >&2; exit 1; }

flags="-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I$src"
mkdir -p "$out/obj"
sources="$src/platform/virtual_timers.cpp $src/platform/text_encoding.cpp"
for f in "$src"/core/*.cpp "$src"/protocol/*.cpp "$src"/tests/fuzz/fuzz_match_messages.cpp; do
  sources="$sources $f"
done
# One object per source, two compilers at a time; an object newer than its
# source (and every header) is kept.
newest_header=$(ls -t "$src"/core/*.h "$src"/protocol/*.h "$src"/platform/*.h "$src"/tests/match/*.h | head -n 1)
for f in $sources; do echo "$f"; done | xargs -P 2 -I{} sh -c '
  f={}; o="'"$out"'/obj/$(echo "$f" | tr / _).o"
  if [ ! -f "$o" ] || [ "$f" -nt "$o" ] || [ "'"$newest_header"'" -nt "$o" ]; then
    '"$cxx"' '"$flags"' -c "$f" -o "$o" || exit 255
  fi'
"$cxx" $flags "$out"/obj/*.o -o "$out/fuzz_match_messages"

# New inputs go to a scratch corpus; the committed seeds are only read.
rm -rf "$out/corpus" && mkdir -p "$out/corpus"
cd "$out"
./fuzz_match_messages -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
  "$out/corpus" "$src/tests/fuzz/corpus"
