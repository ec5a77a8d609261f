# Set-up, build and test entry points. `make run` and `make test` install what is missing on a
# fresh Debian 12 machine first; the other targets are for developers and CI.

BUILD        ?= build
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 20
CMAKE_FLAGS  ?=
PREFIX       ?=

PACKAGES      = cmake make g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
                libbenchmark-dev libmuparser-dev fonts-dejavu-core locales desktop-file-utils
# Printing: the program asks the print system (CUPS) whether it took each job
# (libcups2-dev); the tests render the printed pages (poppler-utils) and start a private print
# server with a PDF queue (cups, printer-driver-cups-pdf).
PRINT_PACKAGES = libcups2-dev poppler-utils cups printer-driver-cups-pdf
PACKAGES      += $(PRINT_PACKAGES)
FUZZ_PACKAGES = clang libclang-rt-14-dev
LOOK_PACKAGES = xvfb xauth imagemagick
# The suite runs a second time in a locale whose decimal separator is ",".
COMMA_LOCALE  = de_DE.UTF-8

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Installs the named Debian packages that are not installed yet; nothing when all are present.
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi
endef

.PHONY: run test build deps sanitize fuzz bench look install clean

deps:
	$(call install_missing,$(PACKAGES))
	@locale -a 2>/dev/null | grep -qix '$(subst UTF-8,utf8,$(COMMA_LOCALE))' || { \
	  echo "Generating the $(COMMA_LOCALE) locale"; \
	  if grep -q '^# *$(COMMA_LOCALE) UTF-8' /etc/locale.gen; then \
	    $(SUDO) sed -i 's/^# *\($(COMMA_LOCALE) UTF-8\)/\1/' /etc/locale.gen; \
	  elif ! grep -q '^$(COMMA_LOCALE) UTF-8' /etc/locale.gen; then \
	    echo '$(COMMA_LOCALE) UTF-8' | $(SUDO) tee -a /etc/locale.gen >/dev/null; \
	  fi; \
	  $(SUDO) locale-gen; \
	}

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/linoveta

# Every test twice: in the environment's locale and, labelled comma_locale, in $(COMMA_LOCALE).
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-label-summary -j $(JOBS)

# Every test once more under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DLINOVETA_SANITIZE=ON -DLINOVETA_BENCH=OFF
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure --no-label-summary -j $(JOBS)

# Every libFuzzer target for FUZZ_SECONDS, starting from its committed seed corpus. The key
# handler's inputs stay short (one byte can repeat a key 2000 times) but one of them may type a
# full line, which takes long under the sanitizers; the others need room for long mark-up, many
# points and long box texts. Leaks are not checked, so libFuzzer's leak search (-detect_leaks)
# would only run an input whose allocations look unbalanced a second time.
fuzz: deps
	$(call install_missing,$(FUZZ_PACKAGES))
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINOVETA_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)
	@set -e; for f in build-fuzz/tests/fuzz/*_fuzz; do \
	  name=$$(basename $$f); work=$$(mktemp -d); \
	  case $$name in key_handler_fuzz) len=512 limit=120;; *) len=4096 limit=10;; esac; \
	  mkdir -p tests/fuzz/corpus/$$name; \
	  echo "== $$name for $(FUZZ_SECONDS) s"; \
	  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $$f -max_total_time=$(FUZZ_SECONDS) \
	    -detect_leaks=0 -max_len=$$len -timeout=$$limit -rss_limit_mb=4096 -print_final_stats=1 \
	    $$work tests/fuzz/corpus/$$name; \
	  rm -rf $$work; \
	done

# Every benchmark program, each figure a median over BENCH_REPETITIONS runs, then one table of
# all figures beside their references and targets.
BENCH_REPETITIONS ?= 5
bench: build
	@summary=$$(mktemp); status=0; \
	for b in $(BUILD)/bench/*_bench; do \
	  echo "== $$b"; \
	  LINOVETA_BENCH_SUMMARY=$$summary QT_QPA_PLATFORM=offscreen $$b \
	    --benchmark_repetitions=$(BENCH_REPETITIONS) || status=1; \
	done; \
	echo; echo "== Summary (medians of $(BENCH_REPETITIONS) repetitions)"; cat $$summary; \
	rm -f $$summary; exit $$status

# Starts the program under Xvfb and saves a screenshot to $(BUILD)/screenshot.png.
look: build
	$(call install_missing,$(LOOK_PACKAGES))
	xvfb-run -a -s "-screen 0 1280x900x24" sh -c \
	  './$(BUILD)/linoveta & sleep 6; import -window root $(BUILD)/screenshot.png; kill $$!'

# Installs the program, its menu entry and its icon under PREFIX (CMake's default when empty).
install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz
