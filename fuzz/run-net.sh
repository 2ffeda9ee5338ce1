#!/bin/sh
# Builds one of the web client's fuzzers with clang (libFuzzer, AddressSanitizer, UBSan)
# and runs it: "http" reads server responses, "url" parses addresses and cookies.
#   fuzz/run-net.sh http|url [SECONDS]   default 600; findings go to build-fuzz/findings-NAME/
set -e
cd "$(dirname "$0")/.."
name=$1
case "$name" in
  http) max_len=98304 ;;   # room for a header block near its cap
  url) max_len=2048 ;;
  *) echo "usage: fuzz/run-net.sh http|url [SECONDS]" >&2; exit 2 ;;
esac
seconds=${2:-600}
out=build-fuzz
mkdir -p "$out/corpus-$name" "$out/findings-$name"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc "fuzz/${name}_fuzz.cpp" src/script/net/net_errors.cpp src/script/net/net_socket.cpp \
  src/script/net/net_url.cpp src/script/net/net_cookie.cpp src/script/net/net_headers.cpp src/script/net/net_http.cpp \
  src/script/net/net_https.cpp src/script/lib/ecma_format*.cpp src/script/lib/ecma_decimal.cpp \
  src/script/lib/ecma_regional.cpp src/script/lib/ecma_datetime.cpp src/script/core/*.cpp src/util/*.cpp \
  -lssl -lcrypto -o "$out/${name}_fuzz"
"$out/${name}_fuzz" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$out/findings-$name/" -print_final_stats=1 "$out/corpus-$name"
