# Set-up, build and test entry points. `make run` and `make test` install what is missing on a
# fresh Debian 12 machine first; the other targets are for developers and CI.

BUILD        ?= build
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 20
CMAKE_FLAGS  ?=
PREFIX       ?=
# ON makes every compiler warning an error in the builds of test, sanitize and fuzz (CI does).
WERROR       ?= OFF

# What the program needs to build and run; `make test` adds the rest. The program asks the
# print system (CUPS) whether it took each job (libcups2-dev).
PACKAGES         = cmake make g++ pkg-config qt6-base-dev libgl-dev fonts-dejavu-core libcups2-dev
# The desktop's type and menu databases that `make install` brings up to date.
INSTALL_PACKAGES = shared-mime-info desktop-file-utils
# The tests and benchmarks; the install test asks the desktop's own tools about the installed
# entry and document type; the printing tests render the printed pages (poppler-utils) and start
# a private print server with a PDF queue (cups, printer-driver-cups-pdf).
TEST_PACKAGES    = libgtest-dev libgmock-dev libbenchmark-dev libmuparser-dev locales \
                   $(INSTALL_PACKAGES) xdg-utils libglib2.0-bin \
                   poppler-utils cups printer-driver-cups-pdf
FUZZ_PACKAGES    = clang libclang-rt-14-dev
LOOK_PACKAGES    = xvfb xauth imagemagick
# The suite runs a second time in a locale whose decimal separator is ",".
COMMA_LOCALE     = de_DE.UTF-8

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

# The build tree is configured once; a first `make run` leaves the tests and benchmarks out,
# `make test` and `make bench` switch them on in the same tree.
CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINOVETA_WERROR=$(WERROR) \
            $(CMAKE_FLAGS)
# The prefix of `make install` and `make uninstall`: PREFIX, else the one the tree was set up with.
INSTALL_PREFIX = $(or $(PREFIX),$(shell sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' $(BUILD)/CMakeCache.txt 2>/dev/null),/usr/local)

.PHONY: run test build program deps test-deps sanitize fuzz bench look install uninstall clean

deps:
	$(call install_missing,$(PACKAGES))

test-deps: deps
	$(call install_missing,$(TEST_PACKAGES))
	@locale -a 2>/dev/null | grep -qix '$(subst UTF-8,utf8,$(COMMA_LOCALE))' || { \
	  echo "Generating the $(COMMA_LOCALE) locale"; \
	  if grep -q '^# *$(COMMA_LOCALE) UTF-8' /etc/locale.gen; then \
	    $(SUDO) sed -i 's/^# *\($(COMMA_LOCALE) UTF-8\)/\1/' /etc/locale.gen; \
	  elif ! grep -q '^$(COMMA_LOCALE) UTF-8' /etc/locale.gen; then \
	    echo '$(COMMA_LOCALE) UTF-8' | $(SUDO) tee -a /etc/locale.gen >/dev/null; \
	  fi; \
	  $(SUDO) locale-gen; \
	}

# The program alone.
program: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || $(CONFIGURE) -DLINOVETA_TESTS=OFF -DLINOVETA_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS) --target linoveta

# The program, every test and every benchmark; a tree set up with another WERROR is set up again.
build: test-deps
	@grep -qx 'LINOVETA_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt 2>/dev/null && \
	  grep -qx 'LINOVETA_BENCH:BOOL=ON' $(BUILD)/CMakeCache.txt && \
	  grep -qx 'LINOVETA_WERROR:BOOL=$(WERROR)' $(BUILD)/CMakeCache.txt || \
	  $(CONFIGURE) -DLINOVETA_TESTS=ON -DLINOVETA_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)

run: program
	$(BUILD)/linoveta

# Every test twice: in the environment's locale and, labelled comma_locale, in $(COMMA_LOCALE).
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-label-summary -j $(JOBS)

# Every test once more under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: test-deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DLINOVETA_SANITIZE=ON -DLINOVETA_TESTS=ON \
	  -DLINOVETA_BENCH=OFF -DLINOVETA_WERROR=$(WERROR)
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
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINOVETA_FUZZ=ON \
	  -DLINOVETA_WERROR=$(WERROR)
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
look: program
	$(call install_missing,$(LOOK_PACKAGES))
	xvfb-run -a -s "-screen 0 1280x900x24" sh -c \
	  '$(BUILD)/linoveta & sleep 6; import -window root $(BUILD)/screenshot.png; kill $$!'

# Installs the program, its menu entry, its document type and its icon under PREFIX (CMake's
# default when empty), and brings the desktop's type and menu databases there up to date.
install: program
	$(call install_missing,$(INSTALL_PACKAGES))
	cmake --install $(BUILD) --prefix "$(INSTALL_PREFIX)"

# Removes everything `make install` put under PREFIX, whichever build tree installed it.
uninstall:
	cmake -DPREFIX="$(INSTALL_PREFIX)" -P cmake/uninstall.cmake

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz
