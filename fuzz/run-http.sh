#!/bin/sh
# Builds the HTTP response reading fuzzer with clang (libFuzzer, AddressSanitizer,
# UBSan) and runs it.
#   fuzz/run-http.sh [SECONDS]      default 600; findings go to build-fuzz/findings-http/
set -e
cd "$(dirname "$0")/.."
seconds=${1:-600}
out=build-fuzz
mkdir -p "$out/corpus-http" "$out/findings-http"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc fuzz/http_fuzz.cpp src/script/net/net_errors.cpp src/script/net/net_socket.cpp \
  src/script/net/net_url.cpp src/script/net/net_cookie.cpp src/script/net/net_headers.cpp src/script/net/net_http.cpp \
  src/script/net/net_https.cpp src/script/lib/ecma_format*.cpp src/script/lib/ecma_decimal.cpp \
  src/script/lib/ecma_regional.cpp src/script/lib/ecma_datetime.cpp src/script/core/*.cpp src/util/*.cpp \
  -lssl -lcrypto -o "$out/http_fuzz"
"$out/http_fuzz" -max_total_time="$seconds" -max_len=98304 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$out/findings-http/" -print_final_stats=1 "$out/corpus-http"
