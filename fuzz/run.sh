#!/bin/sh
# Builds the script fuzzer (lexer and parser) with clang (libFuzzer, AddressSanitizer,
# UBSan) and runs it.
#   fuzz/run.sh [SECONDS]      default 300; findings go to build-fuzz/findings/
set -e
cd "$(dirname "$0")/.."
seconds=${1:-300}
out=build-fuzz
mkdir -p "$out/corpus-script" "$out/findings"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc fuzz/script_fuzz.cpp src/script/core/*.cpp src/util/*.cpp -o "$out/script_fuzz"
"$out/script_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -dict=fuzz/script.dict -artifact_prefix="$out/findings/" -print_final_stats=1 \
  "$out/corpus-script" fuzz/seeds/script
