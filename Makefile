# The commands of the README: `make demo`, `make test` and `make bench`.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CLI     := $(BUILD)/bin/velmorab2d-cli
# ccache is found by CMake when it configures (CMakeLists.txt), after `deps` has installed it.
# Paths inside this folder are hashed relative to it, so clones in other folders share the cache;
# precompiled headers need the sloppiness settings to be cached at all; in depend mode a miss costs
# the compilation alone (the compiler's dependency list keys the cache, no second preprocessing).
export CCACHE_BASEDIR    ?= $(CURDIR)
export CCACHE_NOHASHDIR  ?= 1
export CCACHE_DEPEND     ?= 1
export CCACHE_SLOPPINESS ?= pch_defines,time_macros,include_file_mtime,include_file_ctime

# `make check`: the whole test suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer in a folder of its own; any report fails it. The only suppressions are
# those listed in tests/sanitizers/ for third-party modules. ASAN_OPT is the optimisation of that
# build: -O0 measured fastest for building and running the suite together (README, "Build and test
# times"); line tables keep every report's source lines.
ASAN_BUILD ?= build-asan
ASAN_OPT   ?= -O0 -g1
SANITIZE   := -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
SAN_ENV    := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1 \
              LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
              UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps configure build test check fuzz demo gui screenshot bench clean install package package-check

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$(ASAN_OPT) -DNDEBUG" -DCMAKE_CXX_FLAGS="$(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)" \
	    -DCMAKE_SHARED_LINKER_FLAGS="$(SANITIZE)"

check: deps $(ASAN_BUILD)/CMakeCache.txt
	$(SAN_ENV) cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS)

# `make fuzz`: the libFuzzer targets of fuzz/ (Debian's clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) in a folder of their own, each run FUZZ_SECONDS one after the other,
# seeded from fuzz/corpus/<target> and fuzz/regressions/<target> (with fuzz/<target>.dict when there
# is one). New inputs stay in
# $(FUZZ_BUILD)/corpus; a failing input is written to $(FUZZ_BUILD)/artifacts and stops the run.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := pe_version number_date tsql_rewriter suffix_sorter text_encoding

fuzz: deps
	@command -v clang++ >/dev/null && [ -n "$$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a | grep /)" ] \
	    || ./scripts/install-deps.sh --fuzz
	[ -f $(FUZZ_BUILD)/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S fuzz -B $(FUZZ_BUILD) \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo $$(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for t in $(FUZZ_TARGETS); do \
	    mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/artifacts; \
	    echo "== fuzz_$$t: $(FUZZ_SECONDS) s"; \
	    $(FUZZ_BUILD)/bin/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -max_len=4096 \
	        -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t- \
	        $$([ -f fuzz/$$t.dict ] && echo -dict=fuzz/$$t.dict) \
	        $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t $$(ls -d fuzz/regressions/$$t 2>/dev/null) \
	        > $(FUZZ_BUILD)/$$t.log 2>&1 \
	        || { tail -n 40 $(FUZZ_BUILD)/$$t.log; exit 1; }; \
	    grep -E '^stat::(number_of_executed_units|new_units_added)' $(FUZZ_BUILD)/$$t.log; \
	done

demo: build
	./scripts/demo.sh $(CLI)

gui: build
	./scripts/gui.sh $(BUILD)

screenshot: build
	./scripts/screenshot.sh $(BUILD)

# The generation benchmark (built only here): synthetic workspaces, five runs per case, one table.
bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target b2d-bench
	$(BUILD)/bin/b2d-bench $(BENCHFLAGS)

# Installs the programs (PREFIX, default /usr/local; DESTDIR for a staging folder).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, in $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB

# Builds the package unless a current one is in $(BUILD), installs and tries it as an ordinary user,
# then purges it (root, CI).
package-check:
	./scripts/package-check.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
