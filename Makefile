# Thin wrapper around CMake: install what is missing, build, run, test, benchmark.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
export CCACHE_BASEDIR := $(CURDIR)

PACKAGES := cmake ninja-build g++ ccache pkg-config \
            qt6-base-dev qt6-translations-l10n libx11-dev libxcb1-dev \
            libpcre2-dev libssl-dev zlib1g-dev \
            googletest libgtest-dev libgmock-dev libbenchmark-dev \
            fonts-ipafont-gothic xvfb xauth xdotool xclip imagemagick x11-utils openbox \
            x11-xserver-utils libxfixes-dev \
            duktape mujs lua5.4 time clang libclang-rt-14-dev \
            librsvg2-bin desktop-file-utils appstream shared-mime-info \
            dpkg-dev file lintian man-db \
            dovecot-pop3d qpsmtpd \
            nginx-light python3 python3-cryptography openssl curl

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build run test test-asan bench package clean

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
	ASAN_OPTIONS=detect_leaks=1 ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -L 'script|colour|settings|net'

bench: build
	cmake --build $(BUILD) --target bench

# A Debian package of the install (CPack), checked with lintian.
package: build
	cmake --build $(BUILD) --target package
	lintian --fail-on error $(BUILD)/tinctor_*.deb

# One libFuzzer target for FUZZ_SECONDS (not part of test): fuzz-script (lexer and
# parser), fuzz-compiled, fuzz-regexp, fuzz-engine, fuzz-format, fuzz-files, fuzz-http,
# fuzz-url, fuzz-mail; fuzz/run.sh says what each one covers.
FUZZ_SECONDS ?= 300
FUZZ_TARGETS := script compiled regexp engine format files http url mail
.PHONY: $(addprefix fuzz-,$(FUZZ_TARGETS))
$(addprefix fuzz-,$(FUZZ_TARGETS)): fuzz-%: deps
	fuzz/run.sh $* $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
