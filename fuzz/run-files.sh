#!/bin/sh
# Builds the settings and colour list file fuzzer with clang (libFuzzer, AddressSanitizer,
# UBSan) and runs it.
#   fuzz/run-files.sh [SECONDS]      default 300; findings go to build-fuzz/findings/
set -e
cd "$(dirname "$0")/.."
seconds=${1:-300}
out=build-fuzz
mkdir -p "$out/corpus-files" "$out/findings"
settings=$(ls src/settings/*.cpp | grep -Ev '/(ConfigDlg|Refer|ButtonPages|HotKeyEdit)\.cpp$')
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc fuzz/files_fuzz.cpp $settings src/app/ColorListFile.cpp src/colour/*.cpp src/util/*.cpp \
  -o "$out/files_fuzz"
"$out/files_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$out/findings/" -print_final_stats=1 "$out/corpus-files" fuzz/seeds/files
