# Entry points: `make test` (set-up, both builds, every test) and `make demo` (set-up, build, run the
# module under Wine). Both install what they need first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
MODULE := build/win32/KPinst27.exe

.PHONY: all setup host win32 test test-host test-win32 check-format format demo clean

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
	$(MAKE) --no-print-directory test-host test-win32

test-host:
	ctest --preset host -j $(JOBS)

test-win32:
	ctest --preset win32 -j $(JOBS)

# Every C++ source of the project must be formatted as .clang-format says.
check-format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

# The module's start-up message, on the user's display when there is one, else in a virtual display;
# its screenshot lands in build/screenshots/.
demo: setup win32
	KP_MODULE=$(abspath $(MODULE)) KP_USE_DISPLAY=1 \
	  scripts/wine-run.sh build/win32/tests/e2e/kp_demo.exe $(if $(DISPLAY),--wait-for-user)

clean:
	rm -rf build
