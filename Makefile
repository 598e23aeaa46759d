# Two commands on a fresh Debian 12 machine (as root, or with sudo at hand):
#   make run    install what is missing, build, prepare the upload folder and the
#               policy file beside the program, and start it
#   make test   the same setup, then every test (AddressSanitizer + UBSan build)
#   make bench  the copy and sizing benchmarks against cp and du (optimised build), also
#               with the upload folder on an sshfs share

BUILD       ?= build
BENCH_BUILD ?= build-release
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)
APT_PACKAGES = cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev xvfb xauth \
               imagemagick e2fsprogs util-linux strace
# Only for make bench: the network-share case mounts the upload folder over sshfs from
# an sshd of its own (on a machine whose services start on install, this also starts
# the system's sshd).
BENCH_PACKAGES = sshfs openssh-server
SUDO        := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps bench-deps build prepare run test bench clean

all: build

deps:
	@missing=""; for p in $(APT_PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

bench-deps:
	@missing=""; for p in $(BENCH_PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Debug -DPARVELA_SANITIZE=ON

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# A default policy file beside the program (never overwritten) and its upload folder.
prepare: build
	@mkdir -p $(BUILD)/upload
	@if [ ! -f $(BUILD)/parvelaclient.INI ]; then \
	  printf '[Settings]\r\nSERVERUPLOAD=%s\r\nMAXSIZE=1024\r\n[POLICIES]\r\nPOLICYVERSION=1\r\n' \
	    "$(CURDIR)/$(BUILD)/upload" > $(BUILD)/parvelaclient.INI; \
	  echo "Wrote $(BUILD)/parvelaclient.INI (upload folder $(CURDIR)/$(BUILD)/upload)"; \
	fi

run: prepare
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display. Start it under a virtual one with:"; \
	  echo "  xvfb-run -a -s '-screen 0 1280x900x24' $(BUILD)/parvelaclient"; \
	else \
	  ASAN_OPTIONS=detect_leaks=0 $(BUILD)/parvelaclient; \
	fi

test: prepare
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps bench-deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DPARVELA_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target parvela
	bench/run-all $(BENCH_BUILD)/parvela

clean:
	rm -rf $(BUILD) $(BENCH_BUILD)
