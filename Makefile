# Two commands for a fresh Debian machine: `make demo` and `make test`; `make install PREFIX=DIR`
# installs the package for add-in authors.
.PHONY: all bootstrap build build-native build-win32 build-win64 build-fuzz test test-native \
	test-win32 test-win64 test-fuzz fuzz demo dist bench bench-instructions bench-win32 bench-win64 \
	tsan format clean install

all: build

# Where the kernel runs no 32-bit x86 programs, only the static checks of the 32-bit build run.
CTEST_WIN32 = if scripts/runs-32bit; then ctest --preset win32; else \
	echo "win32: this machine runs no 32-bit x86 programs; only the static checks of the 32-bit build run"; \
	ctest --preset win32 -R '^tesmor_(module|version)$$'; fi

bootstrap:
	@scripts/bootstrap

build: build-native build-win32 build-win64 build-fuzz

build-native: bootstrap
	cmake --preset native
	cmake --build --preset native

build-win32: bootstrap
	cmake --preset win32
	cmake --build --preset win32

build-win64: bootstrap
	cmake --preset win64
	cmake --build --preset win64

# libFuzzer targets, built with clang.
build-fuzz: bootstrap
	cmake --preset fuzz
	cmake --build --preset fuzz

test: build
	@status=0; \
	ctest --preset native || status=1; \
	$(CTEST_WIN32) || status=1; \
	ctest --preset win64 || status=1; \
	ctest --preset fuzz || status=1; \
	exit $$status

test-native: build-native
	ctest --preset native

test-win32: build-win32
	$(CTEST_WIN32)

test-win64: build-win64
	ctest --preset win64

# Each fuzzer replays its seeds and fuzzes a few seconds: the regression check of `make test`.
test-fuzz: build-fuzz
	ctest --preset fuzz

# The tests of worksheet calls on several threads under ThreadSanitizer, in a build of their own
# (not part of `make test`: the library and stand-in built once more). gcc's ThreadSanitizer
# fails on kernels with high mmap randomisation unless the address space is not randomised.
tsan: bootstrap
	cmake --preset tsan
	cmake --build --preset tsan
	setarch -R build/tsan/bin/thread_tests

# Each fuzzer for FUZZ_SECONDS (default 60); fails on any finding and keeps its reproducer.
fuzz: build-fuzz
	@scripts/fuzz

# Example formulas on Tesmor.xll and Tesmor64.xll, run headless by xlhost in both Excel modes.
demo: build-win32 build-win64
	@scripts/demo

# dist/Tesmor-VERSION.zip, packed by scripts/vornix-pack: both DLLs and the guide for Excel users
# (docs/excel-users-guide.txt); only the DLLs are built.
dist: bootstrap
	cmake --preset win32
	cmake --build --preset win32 --target Tesmor
	cmake --preset win64
	cmake --build --preset win64 --target Tesmor
	@scripts/dist

# Benchmarks of a worksheet call on the native release build (not part of `make test`): CPU time
# per call, median of five repetitions run in random order (so that a library row and its floor
# meet the machine's load alike), then the summary table and a steady-state run.
BENCH_ARGS ?= --benchmark_repetitions=5 --benchmark_min_time=0.1 --benchmark_report_aggregates_only=true \
	--benchmark_enable_random_interleaving=true
bench: bootstrap
	cmake --preset bench
	cmake --build --preset bench
	build/bench/bin/tesmor_bench $(BENCH_ARGS)

# Instructions per call of the same rows, counted by callgrind: figures that a loaded machine
# does not move, for comparing two trees.
bench-instructions: bootstrap
	cmake --preset bench
	cmake --build --preset bench
	scripts/bench-instructions

# The real 32-bit Tesmor.xll under Wine, called through its exports with the stand-in's
# XLCALL32.DLL, in both Excel modes: microseconds per call and the share of the mutex cycles.
bench-win32: bootstrap
	@scripts/runs-32bit || { echo "bench-win32: cannot run on this machine: its kernel runs no 32-bit x86 programs (ia32 emulation is disabled), so Wine cannot start the 32-bit Tesmor.xll. Run it where 32-bit programs run, or use make bench-win64 for the 64-bit add-in." >&2; exit 1; }
	cmake --preset win32
	cmake --build --preset win32 --target TesmorWineBench
	scripts/wine-run build/win32/bin/TesmorWineBench.exe --excel-version 12
	scripts/wine-run build/win32/bin/TesmorWineBench.exe --excel-version 11

# The real 64-bit Tesmor64.xll under Wine's 64-bit loader, as bench-win32 does for Tesmor.xll.
bench-win64: bootstrap
	cmake --preset win64
	cmake --build --preset win64 --target TesmorWineBench
	scripts/wine-run build/win64/bin/TesmorWineBench.exe --excel-version 12
	scripts/wine-run build/win64/bin/TesmorWineBench.exe --excel-version 11

# The package for add-in authors: headers, libraries of both bitnesses and native, xlhost, the
# CMake package and the toolchain files, in PREFIX (find_package(vornix) with
# -DCMAKE_PREFIX_PATH=PREFIX). Builds only what it installs, in build/package-*.
PREFIX ?= /usr/local
install: bootstrap
	scripts/install-package "$(PREFIX)"

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build/native build/win32 build/win64 build/bench build/fuzz build/package-*
