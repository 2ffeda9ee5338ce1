#!/bin/sh
# Builds one libFuzzer target with clang (AddressSanitizer, UBSan) and runs it:
#   fuzz/run.sh NAME [SECONDS]     default 300 seconds; the corpus grows in
#   build-fuzz/corpus-NAME/, findings land in build-fuzz/findings-NAME/, and
#   fuzz/seeds/NAME/ seeds the run when it exists.
# Each target is fuzz/NAME_fuzz.cpp and the sources it needs:
#   script    the lexer and parser (imports from fuzz/lib)
#   compiled  the compiled-file loader
#   regexp    the RegExp object's glue around PCRE2
#   engine    generated valid scripts through the whole engine and its library
#   format    the formatting languages and the date text parser
#   files     the settings file and colour list readers
#   http      server responses through the web client's reader
#   url       addresses and cookies
#   mail      mail messages (header fields, MIME parts, attachments)
set -e
cd "$(dirname "$0")/.."
name=$1
seconds=${2:-300}

core="src/script/core/*.cpp src/util/*.cpp"
format="src/script/lib/ecma_format*.cpp src/script/lib/ecma_decimal.cpp src/script/lib/ecma_regional.cpp \
  src/script/lib/ecma_datetime.cpp"
net="src/script/net/net_*.cpp src/script/ext/ext_files.cpp $format -lssl -lcrypto"
max_len=4096
timeout=10
rss_mb=2048
options=
case "$name" in
  script)   sources=$core; max_len=65536; options=-dict=fuzz/script.dict ;;
  compiled) sources=$core; max_len=65536 ;;
  regexp)   sources="src/script/lib/*.cpp $core $(pkg-config --cflags --libs libpcre2-8)" ;;
  engine)   sources="src/script/lib/*.cpp $core $(pkg-config --cflags --libs libpcre2-8)"; timeout=20; rss_mb=3072 ;;
  format)   sources="$format $core" ;;
  files)    sources="$(ls src/settings/*.cpp | grep -Ev '/(ConfigDlg|Refer|ButtonPages|HotKeyEdit)\.cpp$') \
              src/app/ColorListFile.cpp src/colour/*.cpp src/util/*.cpp"; max_len=65536 ;;
  http)     sources="$net $core"; max_len=98304 ;;  # room for a header block near its cap
  url)      sources="$net $core"; max_len=2048 ;;
  mail)     sources="$net $core"; max_len=65536 ;;
  *) echo "usage: fuzz/run.sh script|compiled|regexp|engine|format|files|http|url|mail [SECONDS]" >&2; exit 2 ;;
esac

out=build-fuzz
seeds=
[ -d "fuzz/seeds/$name" ] && seeds="fuzz/seeds/$name"
mkdir -p "$out/corpus-$name" "$out/findings-$name"
# shellcheck disable=SC2086  # the source lists are globs and words on purpose
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Isrc "fuzz/${name}_fuzz.cpp" $sources -o "$out/${name}_fuzz"
# shellcheck disable=SC2086
"$out/${name}_fuzz" -max_total_time="$seconds" -max_len="$max_len" -timeout="$timeout" -rss_limit_mb="$rss_mb" \
  $options -artifact_prefix="$out/findings-$name/" -print_final_stats=1 "$out/corpus-$name" $seeds
