# Entry points: `make run` (try the application with the demo replay) and
# `make test` (sanitized Debug build and the whole test suite).
SHELL := /bin/bash
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD_DIR := build
TEST_DIR := build-test
DEMO_PROFILE := $(CURDIR)/$(BUILD_DIR)/demo-profile
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:strict_string_checks=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	QT_QPA_PLATFORM=offscreen

.PHONY: deps build run test bench screenshots package clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVELIN_TESTS=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@bash scripts/demo-profile.sh "$(DEMO_PROFILE)"
	cd $(BUILD_DIR)/bin && XDG_CONFIG_HOME="$(DEMO_PROFILE)/config" XDG_DATA_HOME="$(DEMO_PROFILE)/data" ./tarvelin-ecg

test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVELIN_SANITIZE=ON -DTARVELIN_TESTS=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD_DIR)/bin/tarvelin-ecg-bench

# The Debian package of the Release tree: $(BUILD_DIR)/tarvelin-ecg_<version>_amd64.deb.
package: build
	cd $(BUILD_DIR) && cpack -G DEB
	@ls -l $(BUILD_DIR)/tarvelin-ecg_*_amd64.deb

# Offscreen pictures of the windows and widgets, fed from the demonstration
# recording, into docs/screenshots/ (committed with the code they show).
screenshots: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVELIN_TESTS=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tarvelin-ecg-screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bin/tarvelin-ecg-screenshots --lang en docs/screenshots
	LANG=es_ES.UTF-8 QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bin/tarvelin-ecg-screenshots --lang es docs/screenshots/es

clean:
	rm -rf $(BUILD_DIR) $(TEST_DIR)
