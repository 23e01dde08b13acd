# make test: install what is missing, build both builds, run every test.
# make run:  install what is missing, build, start Vantreloquin.exe under Wine.
BUILD := build
MAKEFLAGS += --no-print-directory

.PHONY: all setup build native windows test run bench format clean

all: build

setup:
	@scripts/setup.sh $(BUILD)

native: setup
	@cmake --preset native >/dev/null
	@cmake --build --preset native

windows: setup
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

build: native windows

# One ctest run over both builds, so that one summary closes the output.
test: build
	@printf 'subdirs("native" "windows")\n' > $(BUILD)/CTestTestfile.cmake
	@cd $(BUILD) && status=0; ctest -j2 --output-on-failure --timeout 600 || status=$$?; \
	  ../scripts/wine_env.sh stop windows/wine >/dev/null 2>&1; exit $$status

run: windows
	@scripts/run_app.sh $(BUILD)/windows/bin/Vantreloquin.exe

bench: setup
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench
	@$(BUILD)/bench/bench/log_bench
	@$(BUILD)/bench/bench/settings_bench
	@$(BUILD)/bench/bench/ipc_bench
	@$(BUILD)/bench/bench/publisher_bench
	@$(BUILD)/bench/bench/matcher_bench
	@$(BUILD)/bench/bench/scanner_bench

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)/native $(BUILD)/windows $(BUILD)/bench
