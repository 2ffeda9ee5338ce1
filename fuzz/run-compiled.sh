#!/bin/sh
# Builds the compiled-file loader fuzzer with clang (libFuzzer, AddressSanitizer, UBSan)
# and runs it, seeded with the compiled files in fuzz/seeds/compiled.
#   fuzz/run-compiled.sh [SECONDS]      default 600; findings go to build-fuzz/findings/
set -e
cd "$(dirname "$0")/.."
seconds=${1:-600}
out=build-fuzz
mkdir -p "$out/corpus-compiled" "$out/findings"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc fuzz/compiled_fuzz.cpp src/script/core/*.cpp src/util/*.cpp -o "$out/compiled_fuzz"
"$out/compiled_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$out/findings/" -print_final_stats=1 \
  "$out/corpus-compiled" fuzz/seeds/compiled
