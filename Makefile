# Convenience targets around CMake; `make test` is what CI and the README use.
BUILD ?= build
SAN_BUILD ?= build-san
CMAKE_FLAGS ?=

.PHONY: deps configure build test demo run screenshots bench install package sanitize clean format

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j2

# Builds only kvt-cli, then runs the demo against the simulated chip.
demo: configure
	cmake --build $(BUILD) --target kvt-cli
	$(BUILD)/kvt-cli --sim run examples/demo.scf

# The desktop program against the simulated chip; builds only kvt.
run: configure
	cmake --build $(BUILD) --target kvt
	$(BUILD)/kvt --sim

# docs/screenshots/*.png, made offscreen against the simulated chip.
screenshots: configure
	cmake --build $(BUILD) --target screenshots

# Figures of the desktop window against kvt-cli (not a test).
bench: configure
	cmake --build $(BUILD) --target bench-window

# `make install PREFIX=~/.local`; without PREFIX into /usr/local.
install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# The Debian package $(BUILD)/kvt_VERSION_ARCH.deb.
package: build
	cmake --build $(BUILD) --target package

sanitize: deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVT_SANITIZE=address,undefined
	cmake --build $(SAN_BUILD)
	ctest --test-dir $(SAN_BUILD) --output-on-failure -j2

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
