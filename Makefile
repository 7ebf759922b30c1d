# Two commands for a fresh Debian machine: `make demo` and `make test`.
.PHONY: all bootstrap build build-native build-win32 build-win64 test test-native test-win32 \
	test-win64 demo dist format clean

all: build

# Where the kernel runs no 32-bit x86 programs, only the static checks of the 32-bit build run.
CTEST_WIN32 = if scripts/runs-32bit; then ctest --preset win32; else \
	echo "win32: this machine runs no 32-bit x86 programs; only the static checks of the 32-bit build run"; \
	ctest --preset win32 -R '^tesmor_(module|version)$$'; fi

bootstrap:
	@scripts/bootstrap

build: build-native build-win32 build-win64

build-native: bootstrap
	cmake --preset native
	cmake --build --preset native

build-win32: bootstrap
	cmake --preset win32
	cmake --build --preset win32

build-win64: bootstrap
	cmake --preset win64
	cmake --build --preset win64

test: build
	@status=0; \
	ctest --preset native || status=1; \
	$(CTEST_WIN32) || status=1; \
	ctest --preset win64 || status=1; \
	exit $$status

test-native: build-native
	ctest --preset native

test-win32: build-win32
	$(CTEST_WIN32)

test-win64: build-win64
	ctest --preset win64

# Example formulas on Tesmor.xll and Tesmor64.xll, run headless by xlhost in both Excel modes.
demo: build-win32 build-win64
	@scripts/demo

# dist/Tesmor-VERSION.zip: both DLLs and the guide for Excel users; only the DLLs are built.
dist: bootstrap
	cmake --preset win32
	cmake --build --preset win32 --target Tesmor
	cmake --preset win64
	cmake --build --preset win64 --target Tesmor
	@scripts/dist

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build/native build/win32 build/win64
