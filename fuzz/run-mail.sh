#!/bin/sh
# Builds the mail message parser fuzzer with clang (libFuzzer, AddressSanitizer,
# UBSan) and runs it, seeded from fuzz/seeds/mail.
#   fuzz/run-mail.sh [SECONDS]      default 600; findings go to build-fuzz/findings-mail/
set -e
cd "$(dirname "$0")/.."
seconds=${1:-600}
out=build-fuzz
mkdir -p "$out/corpus-mail" "$out/findings-mail"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc fuzz/mail_fuzz.cpp src/script/net/net_*.cpp src/script/ext/ext_files.cpp src/script/lib/ecma_format*.cpp \
  src/script/lib/ecma_decimal.cpp src/script/lib/ecma_regional.cpp src/script/lib/ecma_datetime.cpp \
  src/script/core/*.cpp src/util/*.cpp -lssl -lcrypto -o "$out/mail_fuzz"
"$out/mail_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$out/findings-mail/" -print_final_stats=1 "$out/corpus-mail" fuzz/seeds/mail
