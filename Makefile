# The commands of the README: `make demo`, `make test` and `make bench`.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CLI     := $(BUILD)/bin/velmorab2d-cli
LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps configure build test demo gui screenshot bench clean install package package-check

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

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

# Builds, installs and tries the package as an ordinary user, then purges it (root, CI).
package-check:
	./scripts/package-check.sh $(BUILD)

clean:
	rm -rf $(BUILD)
