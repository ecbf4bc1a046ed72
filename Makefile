# Two entry points: `make run` and `make test`. Both install what is missing first.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: setup configure build run test bench format tidy

setup:
	@scripts/setup

configure: setup
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

run: build
	@$(BUILD_DIR)/tools/tileinspect/tileinspect --tile 8656 5089 14

test: build
	@ctest --preset $(PRESET) -j2

bench: PRESET = release
bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do $$b; done

format:
	@git ls-files '*.cpp' '*.hpp' '*.h' | xargs clang-format -i

tidy: configure
	@git ls-files '*.cpp' | grep -v -E '^(tests|bench)/' | xargs clang-tidy -p $(BUILD_DIR) --quiet
