#!/bin/sh
# Builds the RegExp fuzzer (the glue around PCRE2) with clang (libFuzzer,
# AddressSanitizer, UBSan) and runs it.
#   fuzz/run-regexp.sh [SECONDS]      default 300; findings go to build-fuzz/findings-regexp/
set -e
cd "$(dirname "$0")/.."
seconds=${1:-300}
out=build-fuzz
mkdir -p "$out/corpus-regexp" "$out/findings-regexp"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc fuzz/regexp_fuzz.cpp src/script/core/*.cpp src/script/lib/*.cpp src/util/*.cpp \
  $(pkg-config --cflags --libs libpcre2-8) -o "$out/regexp_fuzz"
"$out/regexp_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$out/findings-regexp/" -print_final_stats=1 "$out/corpus-regexp" fuzz/seeds/regexp
