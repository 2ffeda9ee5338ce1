# Thin wrapper around CMake: install what is missing, build, run, test, benchmark.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
export CCACHE_BASEDIR := $(CURDIR)

PACKAGES := cmake ninja-build g++ ccache pkg-config \
            qt6-base-dev qt6-translations-l10n libx11-dev libxcb1-dev \
            libpcre2-dev libssl-dev zlib1g-dev \
            googletest libgtest-dev libgmock-dev libbenchmark-dev \
            fonts-ipafont-gothic xvfb xauth xdotool xclip imagemagick x11-utils \
            duktape mujs lua5.4 time clang libclang-rt-14-dev \
            librsvg2-bin desktop-file-utils appstream shared-mime-info \
            dpkg-dev file lintian man-db \
            dovecot-pop3d qpsmtpd \
            nginx-light python3 python3-cryptography openssl curl

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build run test test-asan bench package fuzz-script clean

all: build

# Installs only the Debian packages that are not there yet.
deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/src/app/tinctor ]; then exec $(BUILD)/src/app/tinctor; \
	 else echo "tinctor is not built yet; running the colour checks instead"; \
	      ctest --test-dir $(BUILD) -L colour --output-on-failure; fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINCTOR_SANITIZE=ON -DTINCTOR_GUI=OFF

test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -L 'script|colour|settings'

bench: build
	cmake --build $(BUILD) --target bench

# A Debian package of the install (CPack), checked with lintian.
package: build
	cmake --build $(BUILD) --target package
	lintian --fail-on error $(BUILD)/tinctor_*.deb

# The script lexer and parser under libFuzzer for FUZZ_SECONDS (not part of test).
FUZZ_SECONDS ?= 300
fuzz-script: deps
	fuzz/run.sh $(FUZZ_SECONDS)

# The compiled-file loader under libFuzzer for FUZZ_SECONDS, seeded with real files.
.PHONY: fuzz-compiled
fuzz-compiled: deps
	fuzz/run-compiled.sh $(FUZZ_SECONDS)

# The RegExp object's glue around PCRE2 under libFuzzer for FUZZ_SECONDS.
.PHONY: fuzz-regexp
fuzz-regexp: deps
	fuzz/run-regexp.sh $(FUZZ_SECONDS)

# The whole engine on generated valid scripts under libFuzzer (not part of test).
.PHONY: fuzz-engine
fuzz-engine: deps
	fuzz/run-engine.sh $(FUZZ_SECONDS)

# The formatting languages and the date text parser under libFuzzer for FUZZ_SECONDS.
.PHONY: fuzz-format
fuzz-format: deps
	fuzz/run-format.sh $(FUZZ_SECONDS)

# The settings file and colour list readers under libFuzzer (not part of test).
.PHONY: fuzz-files
fuzz-files: deps
	fuzz/run-files.sh $(FUZZ_SECONDS)

# The web client's response reader and the address and cookie parsers under libFuzzer.
.PHONY: fuzz-http fuzz-url
fuzz-http: deps
	fuzz/run-net.sh http $(FUZZ_SECONDS)
fuzz-url: deps
	fuzz/run-net.sh url $(FUZZ_SECONDS)

# The mail message parser under libFuzzer for FUZZ_SECONDS.
.PHONY: fuzz-mail
fuzz-mail: deps
	fuzz/run-mail.sh $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
