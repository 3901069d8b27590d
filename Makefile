# Entry points: `make test` (set-up, both builds, every test) and `make demo` (set-up, build, run the
# module under Wine). Both install what they need first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
MODULE := build/win32/KPinst27.exe

.PHONY: all setup host win32 test test-host test-win32 check-format format demo fuzz bench clean

all: host win32

setup:
	bash scripts/setup.sh

host:
	cmake --preset host >/dev/null
	cmake --build --preset host -j $(JOBS)

win32:
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

test: setup
	$(MAKE) --no-print-directory check-format host win32
	$(MAKE) --no-print-directory test-host fuzz test-win32

test-host:
	ctest --preset host -j $(JOBS)

# Where this kernel runs no 32-bit programs, Wine cannot start here: what runs under Wine then runs in a
# virtual machine that can (scripts/wine-vm.sh). Decided when used, after set-up has installed Wine.
WINE_VM = $(if $(shell wine --version 2>/dev/null),,scripts/wine-vm.sh run)

test-win32:
	$(WINE_VM) ctest --preset win32 -j $(JOBS)

# Every C++ source of the project must be formatted as .clang-format says.
check-format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

# The example package, built by the packaging tool with the module and run under Wine: on the user's
# display when there is one (click through the wizard), else in a virtual display where the demo walks
# the wizard itself. Screenshots land in build/screenshots/.
DEMO_PACKAGE := build/demo/HELLO.EXE
demo: setup host win32
	mkdir -p build/demo
	build/host/tools/kelpack/kelpack build examples/hello/hello.kpp -o $(DEMO_PACKAGE) --module $(MODULE)
	build/host/tools/kelpack/kelpack list $(DEMO_PACKAGE)
	$(WINE_VM) env KP_PACKAGE=$(abspath $(DEMO_PACKAGE)) KP_USE_DISPLAY=1 \
	  scripts/wine-run.sh build/win32/tools/demo/kp_demo.exe $(if $(DISPLAY),$(if $(WINE_VM),,--wait-for-user))

# The archive reader (packages, and uninstall information files also through kelpack log) under
# libFuzzer for FUZZ_SECONDS, from seeds the writer makes; the corpus it grows is kept in
# build/fuzz/corpus for the next run.
FUZZ_SECONDS ?= 60
fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	mkdir -p build/fuzz/corpus
	build/fuzz/tests/fuzz/archive_fuzz_seeds build/fuzz/seeds
	build/fuzz/tests/fuzz/archive_reader_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=build/fuzz/ \
	  -max_len=65536 build/fuzz/corpus build/fuzz/seeds 2>&1 | grep -E '^(Done|stat::number_of_executed_units|#[0-9]+ +DONE)|ERROR|SUMMARY'; \
	  exit $${PIPESTATUS[0]}

# Archive throughput against plain zlib on BENCH_MEGABYTES of mixed data. Then, under Wine:
# - the interactive benchmark: installs through the wizard, each against a baseline that only inflates
#   the same members to disk, and uninstalls started from the package's uninstall entry: a package of
#   BENCH_LARGE_MEGABYTES in BENCH_LARGE_FILES files, and packages of BENCH_SMALL_FILES small files (how
#   the time per file grows with their number);
# - the side-by-side benchmark: the same small-file packages and the peer's installers of the same files
#   (Debian's makensis, installed here), each installed and uninstalled silently BENCH_RUNS times.
# The packages are written to build/bench/packages.
BENCH_MEGABYTES ?= 200
BENCH_LARGE_MEGABYTES ?= 200
BENCH_LARGE_FILES ?= 2000
BENCH_SMALL_FILES ?= 2000 5000 20000
BENCH_RUNS ?= 3
BENCH_PACKAGES := build/bench/packages
BENCH_BITMAP := examples/hello/wizard.bmp
BENCH_SMALL = $(foreach files,$(BENCH_SMALL_FILES),$(abspath $(BENCH_PACKAGES))/small$(files).exe)
bench:
	bash scripts/setup.sh nsis
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS)
	build/bench/bench/archive_bench $(BENCH_MEGABYTES)
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS) --target install_driver peer_bench
	rm -rf $(BENCH_PACKAGES) && mkdir -p $(BENCH_PACKAGES)
	build/bench/bench/bench_package $(BENCH_PACKAGES)/large.exe $(MODULE) $(BENCH_BITMAP) \
	  $(BENCH_LARGE_FILES) $(BENCH_LARGE_MEGABYTES)
	for files in $(BENCH_SMALL_FILES); do \
	  peer=$(BENCH_PACKAGES)/peer/small$$files; \
	  build/bench/bench/bench_package $(BENCH_PACKAGES)/small$$files.exe $(MODULE) $(BENCH_BITMAP) \
	    $$files --small --peer $$peer && makensis -V2 $$peer/peer.nsi && rm -rf $$peer/files || exit 1; \
	done
	$(WINE_VM) bash -c "scripts/wine-run.sh build/win32/bench/install_driver.exe \
	  $(abspath $(BENCH_PACKAGES))/large.exe $(BENCH_SMALL) && \
	  scripts/wine-run.sh build/win32/bench/peer_bench.exe $(BENCH_RUNS) \
	  $(foreach files,$(BENCH_SMALL_FILES),$(abspath $(BENCH_PACKAGES))/small$(files).exe \
	  $(abspath $(BENCH_PACKAGES))/peer/small$(files)/small$(files).exe)"

clean:
	rm -rf build
