# Two commands for a fresh Debian machine: `make demo` and `make test`.
.PHONY: all bootstrap build build-native build-win32 test test-native test-win32 demo bench format clean

all: build

# Where the kernel runs no 32-bit x86 programs, only the static checks of the 32-bit build run.
CTEST_WIN32 = if scripts/runs-32bit; then ctest --preset win32; else \
	echo "win32: this machine runs no 32-bit x86 programs; only the module check of the 32-bit build runs"; \
	ctest --preset win32 -R '^tesmor_module$$'; fi

bootstrap:
	@scripts/bootstrap

build: build-native build-win32

build-native: bootstrap
	cmake --preset native
	cmake --build --preset native

build-win32: bootstrap
	cmake --preset win32
	cmake --build --preset win32

test: build
	@status=0; \
	ctest --preset native || status=1; \
	$(CTEST_WIN32) || status=1; \
	exit $$status

test-native: build-native
	ctest --preset native

test-win32: build-win32
	$(CTEST_WIN32)

# Example formulas on Tesmor.xll, run headless by xlhost in both Excel modes.
demo: build-win32
	@scripts/demo

# Benchmarks of a worksheet call on the native release build (not part of `make test`): medians of
# five repetitions, CPU time per call, then the summary table and a steady-state run.
BENCH_ARGS ?= --benchmark_repetitions=5 --benchmark_min_time=0.1 --benchmark_report_aggregates_only=true
bench: bootstrap
	cmake --preset bench
	cmake --build --preset bench
	build/bench/bin/tesmor_bench $(BENCH_ARGS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build/native build/win32 build/bench
