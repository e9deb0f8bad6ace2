# The two everyday commands: `make run` and `make test`. Both install what is missing first.
BUILD   ?= build
JOBS    ?= 2
# Warnings fail the build.
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPESTREL_WERROR=ON

FUZZ_BUILD   ?= $(BUILD)/fuzz
FUZZ_SECONDS ?= 60
ODR_BUILD    ?= $(BUILD)/odr
TSAN_BUILD   ?= $(BUILD)/tsan

.PHONY: deps configure build run gallery package windows windows-test test format-check odr-check \
	tsan bench screenshot fuzz fuzz-build clean

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# Only the program and what it links; `make test` builds everything.
run: configure
	@cmake --build $(BUILD) -j$(JOBS) --target pestrel
	$(BUILD)/pestrel

# The skin gallery: every skinned control in every style (--skin NAME, --page NAME).
gallery: configure
	@cmake --build $(BUILD) -j$(JOBS) --target pestrel-gallery
	$(BUILD)/pestrel-gallery $(ARGS)

# The Debian package $(BUILD)/pestrel_<version>_amd64.deb, installing under /usr.
package: configure
	@cmake --build $(BUILD) -j$(JOBS) --target pestrel pestrel-gallery
	@cd $(BUILD) && cpack -G DEB >/dev/null
	@ls $(BUILD)/pestrel_*_amd64.deb

# Pestrel for Windows, cross-built here: $(BUILD)/windows/pestrel-setup.exe, beside pestrel.exe,
# pestrel.com and pestrel-gallery.exe. The first run builds the static Qt for Windows into
# ~/.cache/pestrel/qt-windows (tools/build-qt-windows.sh); later runs find it there.
windows: deps
	BUILD=$(BUILD) JOBS=$(JOBS) tools/build-windows.sh
	@ls $(BUILD)/windows/pestrel-setup.exe

# The Windows build's tests under Wine: its test programs, its command line, window, setup and
# guard service (tools/wine-window-tests.sh; `make test` runs it after the Linux tests).
# tools/wine-tests.sh is the quicker check of the engine and the Windows backend alone, without
# the Qt for Windows.
windows-test: build
	BUILD=$(BUILD) JOBS=$(JOBS) tools/wine-window-tests.sh

test: format-check build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)
	BUILD=$(BUILD) JOBS=$(JOBS) tools/wine-window-tests.sh
	@$(MAKE) --no-print-directory package BUILD=$(BUILD) JOBS=$(JOBS)
	BUILD=$(BUILD) tools/package-tests.sh
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=10
	@$(MAKE) --no-print-directory odr-check BUILD=$(BUILD) JOBS=$(JOBS)

# The tree's own C++ sources as clang-format writes them (.clang-format); nothing is changed.
format-check:
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

# The programs and test programs linked with link-time optimisation in their own build folder,
# where two different definitions of one name in one program (a type, an inline function) fail
# the link (-Werror=odr). Unoptimised, and the objects hold only the compiler's intermediate
# code: the check costs little more than reading the sources and linking.
odr-check: deps
	@cmake -S . -B $(ODR_BUILD) -DCMAKE_BUILD_TYPE= -DPESTREL_ODR_CHECK=ON -DPESTREL_WERROR=ON \
		>/dev/null
	@cmake --build $(ODR_BUILD) -j$(JOBS) --target $(ODR_TARGETS)
	@echo "odr-check: no clash in $(ODR_TARGETS)"

ODR_TARGETS = pestrel pestrel-gallery engine_tests platform_tests security_tests ui_tests \
	cli_tests guard_tests

# The tests that run threads (the window's worker, the content readers, the guard) built with
# ThreadSanitizer in their own build folder; a reported race fails them.
TSAN_TESTS = ContentMatch|KillPassTest\.|ProcessPagesTest|ShutdownTest|Guard(Steps|Command|Prefixes)
tsan: deps
	@cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPESTREL_TSAN=ON \
		-DPESTREL_WERROR=ON >/dev/null
	@cmake --build $(TSAN_BUILD) -j$(JOBS) --target engine_tests ui_tests guard_tests
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" QT_QPA_PLATFORM=offscreen \
		ctest --test-dir $(TSAN_BUILD) --output-on-failure -j$(JOBS) -R '$(TSAN_TESTS)'

# The libFuzzer targets in their own clang build; each runs FUZZ_SECONDS from the committed seeds.
# A finding fails the run and is kept in $(FUZZ_BUILD)/findings/<target>/.
fuzz-build: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DPESTREL_FUZZ=ON -DPESTREL_WERROR=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target $$(tests/fuzz/run.sh --targets)

fuzz: fuzz-build
	tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	@$(MAKE) --no-print-directory package BUILD=$(BUILD) JOBS=$(JOBS)
	BUILD=$(BUILD) JOBS=$(JOBS) tools/build-windows.sh pestrel_window_probe installer
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/pestrel_bench

screenshot: configure
	@cmake --build $(BUILD) -j$(JOBS) --target pestrel_screenshot pestrel_gallery_screenshot
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/screenshot/pestrel_screenshot docs/screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/screenshot/pestrel_gallery_screenshot docs/screenshots

clean:
	rm -rf $(BUILD)
