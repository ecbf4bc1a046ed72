# Two entry points: `make run` and `make test`. Both install what is missing first.
PRESET ?= default
BUILD_DIR = build/$(PRESET)

.PHONY: setup configure build run test bench fuzz format tidy

setup:
	@scripts/setup

configure: setup
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

run: build
	@$(BUILD_DIR)/platform/sim/simulator/mapboard --out $(BUILD_DIR)/board.png

test: build
	@ctest --preset $(PRESET) -j2

bench: PRESET = release
bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do $$b; done

# Fuzzes the tile reader and transcoder for FUZZ_SECONDS (clang, libFuzzer).
FUZZ_SECONDS ?= 60
fuzz: PRESET = fuzz
fuzz: build
	@mkdir -p $(BUILD_DIR)/corpus
	@$(BUILD_DIR)/fuzz/fuzz_tile -max_total_time=$(FUZZ_SECONDS) -max_len=8192 $(BUILD_DIR)/corpus

format:
	@git ls-files '*.cpp' '*.hpp' '*.h' | xargs clang-format -i

# Host-built files only: the board's start-up and emulator code is cross-built.
tidy: configure
	@git ls-files '*.cpp' | grep -v -E '^(tests|bench)/|^platform/mcu/(src|emulator|board_port|kernel)/|EmulatorMain\.cpp$$' | \
		xargs clang-tidy -p $(BUILD_DIR) --quiet --warnings-as-errors="*"
