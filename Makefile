# The two commands of a fresh Debian machine:
#   make run    installs what is missing, builds the library and the room, and starts it under Wine
#   make test   installs what is missing, builds both builds and runs every test headless
BUILD ?= build
WIN_BUILD := $(BUILD)/win
NATIVE_BUILD := $(BUILD)/native
JOBS ?= $(shell nproc)

.PHONY: all deps win native run test test-win test-native bench clean

all: win native

deps:
	@bash scripts/install-deps.sh

$(WIN_BUILD)/build.ninja: | deps
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

$(NATIVE_BUILD)/build.ninja: | deps
	cmake -S . -B $(NATIVE_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++

win: deps $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS)

native: deps $(NATIVE_BUILD)/build.ninja
	cmake --build $(NATIVE_BUILD) -j $(JOBS)

# Only the library, the room and the runner's launcher: nothing else is needed to run it.
run: deps $(WIN_BUILD)/build.ninja
	@cmake --build $(WIN_BUILD) --target room korva-launch -j $(JOBS)
	@bash scripts/run-room.sh $(WIN_BUILD)

test-native: native
	cd $(NATIVE_BUILD) && ctest --output-on-failure -j $(JOBS)

test-win: win
	cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-native test-win

bench: win
	@bash scripts/run-bench.sh $(WIN_BUILD)

clean:
	rm -rf $(BUILD)
