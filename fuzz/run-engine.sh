#!/bin/sh
# Builds the engine fuzzer (valid generated scripts through the whole engine and its
# library) with clang (libFuzzer, AddressSanitizer, UBSan) and runs it.
#   fuzz/run-engine.sh [SECONDS]      default 600; findings go to build-fuzz/findings-run/
set -e
cd "$(dirname "$0")/.."
seconds=${1:-600}
out=build-fuzz
mkdir -p "$out/corpus-run" "$out/findings-run"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc fuzz/script_run_fuzz.cpp src/script/core/*.cpp src/script/lib/*.cpp src/util/*.cpp \
  $(pkg-config --cflags --libs libpcre2-8) -o "$out/script_run_fuzz"
"$out/script_run_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=20 -rss_limit_mb=3072 \
  -artifact_prefix="$out/findings-run/" -print_final_stats=1 "$out/corpus-run"
