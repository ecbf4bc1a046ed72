# Two entry points: `make run` and `make test`. Both install what is missing first.
PRESET ?= default
BUILD_DIR = build/$(PRESET)

.PHONY: setup configure build run city emulate-city emulate emulate-cost configure-web wasm web serve-web test-web test coverage bench soak fuzz format tidy

setup:
	@scripts/setup

configure: setup
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

# Only the simulator and its data: no tests, tools beyond the data's, or
# 32-bit cross build.
run: configure
	@cmake --build --preset $(PRESET) --target mapboard
	@$(BUILD_DIR)/platform/sim/simulator/mapboard --out $(BUILD_DIR)/board.png

# A region from an OpenStreetMap extract: its image (tile collection and
# region record; CITY_SHOP and CITY_HOME, LAT,LON, place the delivery) and
# the simulator's last frame on it, headless.
CITY_IMAGE = $(BUILD_DIR)/city.img
city: configure
	@test -n "$(OSM)" || { echo "make city: name the extract, e.g. make city OSM=../shared/osm/liechtenstein-2013-08-03.osm.pbf"; exit 2; }
	@cmake --build --preset $(PRESET) --target tilepack mapboard
	@$(BUILD_DIR)/tools/tilepack/tilepack --quiet --osm $(OSM) --out $(CITY_IMAGE) \
		$(if $(CITY_SHOP),--shop $(CITY_SHOP)) $(if $(CITY_HOME),--home $(CITY_HOME))
	@$(BUILD_DIR)/platform/sim/simulator/mapboard --headless --flash $(CITY_IMAGE) --out $(BUILD_DIR)/city.png

# The emulated board links its collection when its image is built: a second
# cross build (build/city-mcu) links `make city`'s image and runs it.
emulate-city: configure
	@test -f $(CITY_IMAGE) || { echo "make emulate-city: no $(CITY_IMAGE); run make city OSM=FILE first"; exit 2; }
	@cmake --build --preset $(PRESET) --target emulatedboard
	@cmake --preset mcu -B build/city-mcu -DMAPBOARD_COLLECTION_IMAGE=$(abspath $(CITY_IMAGE)) >/dev/null
	@cmake --build build/city-mcu --target emulated
	@$(BUILD_DIR)/platform/emulated_runner/emulatedboard --image $(abspath build/city-mcu/platform/mcu/emulated_port/emulated.elf) \
		--out $(BUILD_DIR)/city-emulated.png

# The firmware's 32-bit image on the emulated board (QEMU), 600 frames in
# board time, its GPU served by the PC; the last frame equals `make run`'s.
emulate: configure
	@cmake --build --preset $(PRESET) --target emulatedboard
	@$(BUILD_DIR)/platform/emulated_runner/emulatedboard --out $(BUILD_DIR)/emulated.png

# The firmware's instructions per frame by phase in three scenarios on the
# emulated board in emulated time, its stacks and heap, and its image's
# size against the board's.
emulate-cost: configure
	@cmake --build --preset $(PRESET) --target emulate_cost

# The simulator board in WebAssembly (preset web) on the default build's
# tile collection and tables; cairo and pixman are built once into build/wasm-libs.
configure-web: build
	@scripts/setup web
	@scripts/wasm-libs
	@cmake --preset web >/dev/null

wasm: configure-web
	@cmake --build --preset web

# The page: index.html, its script and the module (the data inside it),
# every URL relative; packed as build/web.tar.gz for any static server.
web: configure-web
	@cmake --build --preset web --target webboard
	@rm -rf build/web && cp -r build/wasm/platform/sim/web/page build/web
	@tar -czf build/web.tar.gz -C build web
	@echo "build/web: $$(du -sh build/web | cut -f1); build/web.tar.gz: $$(du -h build/web.tar.gz | cut -f1)"

WEB_PORT ?= 8800
serve-web: web
	@echo "mapboard: http://127.0.0.1:$(WEB_PORT)/"
	@python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory build/web

# The page in headless chromium: first frame, a drag, the menu; prints the
# load time and the download's size.
test-web: web
	@scripts/web-test

# The default preset's tests include the page's in a browser.
test: build
	@ctest --preset $(PRESET) -j2
ifeq ($(PRESET),default)
	@$(MAKE) --no-print-directory test-web
endif

# Line and branch coverage of the default tests per layer (scripts/layers):
# a --coverage build in build/coverage whose counters start at zero after
# the build's own tool runs, the tests, then one table; fails as the tests do.
coverage: setup
	@cmake --preset coverage >/dev/null
	@cmake --build --preset coverage
	@find build/coverage -name '*.gcda' -delete
	@ctest --preset coverage -j2; status=$$?; scripts/coverage build/coverage || exit 1; exit $$status

bench: PRESET = release
bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do $$b; done

# An hour of board time (216,000 frames) of random input from SOAK_SEED;
# fails on an assertion, a watchdog reset or a figure that grows.
SOAK_SEED ?= 1
soak: configure
	@cmake --build --preset $(PRESET) --target mapboard
	@$(BUILD_DIR)/platform/sim/simulator/mapboard --soak $(SOAK_SEED) --out $(BUILD_DIR)/soak.png

# Fuzzes every reader of outside bytes for FUZZ_SECONDS each (clang,
# libFuzzer), from seeds of real inputs written by the default build.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = tile image geojson script hostlink
fuzz: configure
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset default --target $(FUZZ_TARGETS:%=fuzz_%_mutations)
	@cmake --build --preset fuzz --target $(FUZZ_TARGETS:%=fuzz_%)
	@for t in $(FUZZ_TARGETS); do \
		mkdir -p build/fuzz/corpus/$$t && \
		build/default/fuzz/fuzz_$${t}_mutations --write-seeds build/fuzz/seeds/$$t && \
		build/fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=262144 -print_final_stats=1 \
			-dict=fuzz/$$t.dict build/fuzz/corpus/$$t build/fuzz/seeds/$$t || exit 1; \
	done

format:
	@git ls-files '*.cpp' '*.hpp' '*.h' | xargs clang-format -i

# Host-built files only: the board's start-up and emulator code is cross-built.
tidy: configure
	@git ls-files '*.cpp' | grep -v -E '^(tests|bench)/|^platform/mcu/(src|emulator|emulated_port|hardware_port|gpu_port|firmware|kernel)/|EmulatorMain\.cpp$$' | \
		xargs clang-tidy -p $(BUILD_DIR) --quiet --warnings-as-errors="*"
