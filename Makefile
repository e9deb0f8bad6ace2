# The two everyday commands: `make run` and `make test`. Both install what is missing first.
BUILD   ?= build
JOBS    ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps configure build run gallery test bench screenshot clean

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/pestrel

# The skin gallery: every skinned control in every style (--skin NAME, --page NAME).
gallery: configure
	@cmake --build $(BUILD) -j$(JOBS) --target pestrel-gallery
	$(BUILD)/pestrel-gallery $(ARGS)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)
	BUILD=$(BUILD) JOBS=$(JOBS) tools/wine-tests.sh

bench: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/pestrel_bench

screenshot: configure
	@cmake --build $(BUILD) -j$(JOBS) --target pestrel_screenshot pestrel_gallery_screenshot
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/screenshot/pestrel_screenshot docs/screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/screenshot/pestrel_gallery_screenshot docs/screenshots

clean:
	rm -rf $(BUILD)
