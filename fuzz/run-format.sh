#!/bin/sh
# Builds the formatting-languages fuzzer (the "%" language, float forms and masks, the
# date-time language, the date text parser) with clang (libFuzzer, AddressSanitizer,
# UBSan) and runs it.
#   fuzz/run-format.sh [SECONDS]      default 300; findings go to build-fuzz/findings-format/
set -e
cd "$(dirname "$0")/.."
seconds=${1:-300}
out=build-fuzz
mkdir -p "$out/corpus-format" "$out/findings-format"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc fuzz/format_fuzz.cpp src/script/lib/ecma_format*.cpp src/script/lib/ecma_decimal.cpp \
  src/script/lib/ecma_regional.cpp src/script/lib/ecma_datetime.cpp src/script/core/*.cpp src/util/*.cpp \
  -o "$out/format_fuzz"
"$out/format_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$out/findings-format/" -print_final_stats=1 "$out/corpus-format"
