# Two commands on a fresh Debian 12 machine (as root, or with sudo at hand):
#   make run    install what is missing, build the optimised program (build-release/),
#               prepare the upload folder and the policy file beside it, and start it
#   make test   the same setup for the AddressSanitizer + UBSan build (build/), then
#               every test
#   make bench  the copy and sizing benchmarks against cp and du (optimised build), also
#               with the upload folder on an sshfs share (direct and 2 ms away), memory
#               on a million entries, the start-up time, the record of sent jobs with
#               10,000 jobs (parvela sent, the Sent jobs window) and with 1,000,000
#               (parvela sent --all --json), 100,000 paths handed to the running window,
#               and last a table of the goals
#   make deb    the Debian package, from the optimised build:
#               build-release/parvela-client_<version>_<arch>.deb

BUILD       ?= build
RELEASE     ?= build-release
BENCH_BUILD ?= $(RELEASE)
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)
# Beside the compiler and Qt: Qt's SQLite driver (the record of sent jobs) and a D-Bus
# daemon (the tests start a session bus of their own for the desktop notification).
# strace, script (util-linux) and sshfs with the SFTP server let the tests hold a system
# call, give the tool a terminal, and put the upload folder on a share of its own;
# faketime gives a writer a clock of its own.
APT_PACKAGES = cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev xvfb xauth \
               libqt6sql6-sqlite dbus-daemon \
               imagemagick e2fsprogs util-linux strace sshfs openssh-sftp-server faketime \
               scdoc desktop-file-utils appstream dpkg-dev file \
               qt6-translations-l10n fonts-dejavu-core
# Only for make bench: the network-share case mounts the upload folder over sshfs from
# an sshd of its own (on a machine whose services start on install, this also starts
# the system's sshd); the start-up case watches the X display through libxcb; GNU time
# reports peak memory; the record of sent jobs is compared with sqlite3 reading it.
BENCH_PACKAGES = sshfs openssh-server libxcb1-dev pkg-config time sqlite3
SUDO        := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps bench-deps build prepare release prepare-release run test bench deb clean

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

# A default policy file beside the program in folder $(1) (never overwritten) and its
# upload folder.
define write_policy
	@mkdir -p $(1)/upload
	@if [ ! -f $(1)/parvelaclient.INI ]; then \
	  printf '[Settings]\r\nSERVERUPLOAD=%s\r\nMAXSIZE=1024\r\n[POLICIES]\r\nPOLICYVERSION=1\r\n' \
	    "$(CURDIR)/$(1)/upload" > $(1)/parvelaclient.INI; \
	  echo "Wrote $(1)/parvelaclient.INI (upload folder $(CURDIR)/$(1)/upload)"; \
	fi
endef

prepare: build
	$(call write_policy,$(BUILD))

# What users run: optimised, without the tests.
$(RELEASE)/CMakeCache.txt:
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DPARVELA_TESTS=OFF

release: deps $(RELEASE)/CMakeCache.txt
	cmake --build $(RELEASE) -j $(JOBS)

prepare-release: release
	$(call write_policy,$(RELEASE))

run: prepare-release
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display. Start it under a virtual one with:"; \
	  echo "  xvfb-run -a -s '-screen 0 1280x900x24' $(RELEASE)/parvelaclient"; \
	else \
	  $(RELEASE)/parvelaclient; \
	fi

test: prepare
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps bench-deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DPARVELA_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target parvela parvelaclient mapwatch minimal_window delay_relay \
	  sent_fill sent_window_open handover_bench
	$(call write_policy,$(BENCH_BUILD))
	@rm -f $(BENCH_BUILD)/bench-goals.tsv
	BENCH_GOALS=$(abspath $(BENCH_BUILD)/bench-goals.tsv) bench/run-all $(BENCH_BUILD)/parvela
	bench/startup $(BENCH_BUILD)
	BENCH_GOALS=$(abspath $(BENCH_BUILD)/bench-goals.tsv) bench/sent-jobs $(BENCH_BUILD)
	BENCH_GOALS=$(abspath $(BENCH_BUILD)/bench-goals.tsv) bench/handover/run $(BENCH_BUILD)
	@echo; bench/goal-table $(BENCH_BUILD)/bench-goals.tsv

deb: release
	cd $(RELEASE) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(RELEASE) $(BENCH_BUILD)
