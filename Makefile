# The two commands a newcomer needs: `make run` and `make test`. Everything else follows from them.
JOBS   ?= $(shell nproc)
NATIVE := build/native
WIN64  := build/win64
WIN32  := build/win32

.PHONY: run test deps native build build32 bench dist fuzz clean

run: build
	@scripts/run.sh

test: build
	@scripts/test.sh

deps:
	@scripts/deps.sh

# Native tools (resource compilers) and the portable layer's sanitized tests.
native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

WIN64_CONFIGURE = cmake -S . -B $(WIN64) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake -DTESS_HOST_BIN=$(CURDIR)/$(NATIVE)/bin >/dev/null

build: native
	@$(WIN64_CONFIGURE)
	@cmake --build $(WIN64) -j $(JOBS)

# The 32-bit program: built and linked only; these machines cannot run 32-bit code.
build32: native
	@cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake -DTESS_HOST_BIN=$(CURDIR)/$(NATIVE)/bin >/dev/null
	@cmake --build $(WIN32) -j $(JOBS) --target Tessaline rasapi32

bench: build
	@scripts/bench.sh

# What a Windows user downloads: a zip per target with the program alone, checked.
dist: build build32
	@scripts/dist.sh

# Every parser's fuzzer, and the message fuzzer against the real program under Wine, for a few
# minutes each (FUZZ_SECONDS, default 180), with a report.
fuzz: native
	@$(WIN64_CONFIGURE)
	@cmake --build $(WIN64) -j $(JOBS) --target Tessaline rasapi32 tess_msgfuzz
	@scripts/fuzz.sh

clean:
	rm -rf build
