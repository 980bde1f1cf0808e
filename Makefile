# Convenience targets around CMake; `make test` is what CI and the README use.
BUILD ?= build
SAN_BUILD ?= build-san
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = $(patsubst fuzz/%_fuzz.cpp,%,$(wildcard fuzz/*_fuzz.cpp))
CMAKE_FLAGS ?=

.PHONY: deps configure build test demo run screenshots bench install package sanitize tsan fuzz clean format

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

# Figures of kvt-cli, kvt-sim and the desktop window against their peers and floors (not a
# test); bench/RESULTS.md keeps a run.
bench: configure
	cmake --build $(BUILD) --target bench

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

# ThreadSanitizer: the script runner, the window and the log meet on several threads. The Qt
# program stays out: Qt is not built for ThreadSanitizer and would report its own internals.
tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVT_SANITIZE=thread -DKVT_BUILD_GUI=OFF
	cmake --build $(TSAN_BUILD)
	# Without address randomisation: kernels with wide mmap randomisation break the TSan runtime.
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 $(TSAN_OPTIONS)" \
	  setarch $$(uname -m) -R ctest --test-dir $(TSAN_BUILD) --output-on-failure -j2

# The libFuzzer targets of fuzz/ (clang, AddressSanitizer), each run FUZZ_SECONDS seconds in
# turn. New inputs go to $(FUZZ_BUILD)/corpus/NAME, crashing ones to $(FUZZ_BUILD)/findings/;
# the committed seeds in fuzz/corpus/NAME are only read. Fails when a target found something.
fuzz:
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DKVT_FUZZ=ON -DKVT_BUILD_TESTS=OFF -DKVT_BUILD_GUI=OFF
	cmake --build $(FUZZ_BUILD) --target $(addprefix fuzz-,$(FUZZ_TARGETS))
	@failed=""; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/findings; \
	  echo "== fuzz-$$t, $(FUZZ_SECONDS) s"; \
	  $(FUZZ_BUILD)/fuzz/fuzz-$$t -max_total_time=$(FUZZ_SECONDS) -timeout=20 -print_final_stats=1 \
	    -artifact_prefix=$(CURDIR)/$(FUZZ_BUILD)/findings/$$t- \
	    $(CURDIR)/$(FUZZ_BUILD)/corpus/$$t $(CURDIR)/fuzz/corpus/$$t || failed="$$failed $$t"; \
	done; \
	if [ -n "$$failed" ]; then echo "fuzz: findings in$$failed (see $(FUZZ_BUILD)/findings/)"; exit 1; fi

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
