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
#   make a11y-check  what a screen reader finds in every window, in the five languages
#               (the AT-SPI tree on a virtual display; every showing control named)
#   make deb    the Debian package, from the optimised build:
#               build-release/parvela-client_<version>_<arch>.deb
#   make windows       the Windows programs, cross-built with mingw-w64 against a static
#                      Qt of their own (build-windows/, windows/README.md)
#   make windows-test  the tests built for Windows, run under Wine

BUILD       ?= build
RELEASE     ?= build-release
BENCH_BUILD ?= $(RELEASE)
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)
# Beside the compiler and Qt: Qt's SQLite driver (the record of sent jobs) and a D-Bus
# daemon (the tests start a session bus of their own for the desktop notification).
# strace, script (util-linux) and sshfs with the SFTP server let the tests hold a system
# call, give the tool a terminal, and put the upload folder on a share of its own;
# faketime gives a writer a clock of its own; lintian and desktop-file-validate check
# the Debian package as the distribution does.
APT_PACKAGES = cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev xvfb xauth \
               libqt6sql6-sqlite dbus-daemon \
               imagemagick e2fsprogs util-linux strace sshfs openssh-sftp-server faketime \
               scdoc desktop-file-utils appstream dpkg-dev file lintian \
               qt6-translations-l10n fonts-dejavu-core
# Only for make bench: the network-share case mounts the upload folder over sshfs from
# an sshd of its own (on a machine whose services start on install, this also starts
# the system's sshd); the start-up case watches the X display through libxcb; GNU time
# reports peak memory; the record of sent jobs is compared with sqlite3 reading it.
BENCH_PACKAGES = sshfs openssh-server libxcb1-dev pkg-config time sqlite3
# Only for make a11y-check: the desktop's accessibility bus and its Python binding.
A11Y_PACKAGES = at-spi2-core python3-pyatspi
SUDO        := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

# Windows: the cross compiler, Wine to run the programs and tests, NSIS for the installer.
WIN_PACKAGES = g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64 mingw-w64-tools \
               wine wine64 nsis ninja-build cmake imagemagick qt6-translations-l10n
# What windows/build.sh needs to build Qt when no cached build is at hand.
WINQT_BUILD_PACKAGES = qt6-base-dev qt6-base-dev-tools tcl dpkg-dev
WIN_BUILD   ?= build-windows
# Qt for Windows: a static build of Debian's own Qt source, made by windows/build.sh, or
# unpacked from its cached result (WINQT_CACHE/WINQT_TARBALL, checked against
# windows/SHA256SUMS) where one is at hand.
WINQT       ?= /opt/parvela/qt-6.4.2-mingw64
# The cache sits beside the project, or in this workplace's shared folder for a clone made
# elsewhere (a CI run's).
WINQT_CACHE ?= $(firstword $(wildcard ../shared/winqt /work/shared/winqt) ../shared/winqt)
WINQT_TARBALL = qt-6.4.2-mingw64-static.tar.xz
# Wine keeps its own Windows installation (registry, user folders) here.
export WINEPREFIX ?= $(abspath $(WIN_BUILD))/wine
export WINEDEBUG  ?= -all

.PHONY: all deps bench-deps a11y-deps build prepare release prepare-release run test bench a11y-check deb clean \
        windows-deps windows-qt windows-configure windows windows-test

all: build

deps:
	@missing=""; for p in $(APT_PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

a11y-deps:
	@missing=""; for p in $(A11Y_PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

# What a screen reader finds in each window, in each language (tests/gui/a11y-check.py).
a11y-check: build a11y-deps
	for language in ENGLISH NEDERLANDS DEUTSCH FRANçAIS SVENSKA; do \
	  tests/gui/a11y-check.py $(BUILD)/parvelaclient $$language || exit 1; done

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
	BENCH_GOALS=$(abspath $(BENCH_BUILD)/bench-goals.tsv) bench/startup $(BENCH_BUILD)
	BENCH_GOALS=$(abspath $(BENCH_BUILD)/bench-goals.tsv) bench/sent-jobs $(BENCH_BUILD)
	BENCH_GOALS=$(abspath $(BENCH_BUILD)/bench-goals.tsv) bench/handover/run $(BENCH_BUILD)
	@echo; bench/goal-table $(BENCH_BUILD)/bench-goals.tsv

deb: release
	cd $(RELEASE) && cpack -G DEB

windows-deps:
	@missing=""; for p in $(WIN_PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  for try in 1 2 3 4 5 6; do \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing && break; \
	    echo "apt-get failed (the package lock may be busy); again in 20 s"; sleep 20; \
	  done; \
	fi

windows-qt: windows-deps
	@if [ -f $(WINQT)/lib/cmake/Qt6/qt.toolchain.cmake ]; then \
	  echo "Qt for Windows: $(WINQT)"; \
	elif [ -f $(WINQT_CACHE)/$(WINQT_TARBALL) ] && \
	     (cd $(WINQT_CACHE) && sha256sum -c --quiet $(CURDIR)/windows/SHA256SUMS); then \
	  echo "Unpacking $(WINQT_CACHE)/$(WINQT_TARBALL) at /"; \
	  $(SUDO) tar -C / -xJf $(WINQT_CACHE)/$(WINQT_TARBALL); \
	else \
	  echo "No cached Qt for Windows: building it from Debian's source (about 25 minutes on 2 cores)"; \
	  missing=""; for p in $(WINQT_BUILD_PACKAGES); do \
	    dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	  if [ -n "$$missing" ]; then DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; fi; \
	  if ! grep -rqs '^deb-src .*bookworm' /etc/apt/sources.list /etc/apt/sources.list.d/ && \
	     ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/; then \
	    signed=$$(awk '/^$$/ { uri = 0 } /^URIs:.*deb\.debian\.org\/debian\/?$$/ { uri = 1 } \
	                   uri && /^Signed-By:/ { print $$2; exit }' /etc/apt/sources.list.d/*.sources 2>/dev/null); \
	    if [ -n "$$signed" ]; then \
	      printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: %s\n' \
	        "$$signed" | $(SUDO) tee /etc/apt/sources.list.d/parvela-deb-src.sources >/dev/null; \
	    else \
	      echo 'deb-src http://deb.debian.org/debian bookworm main' | \
	        $(SUDO) tee /etc/apt/sources.list.d/parvela-deb-src.list >/dev/null; \
	    fi; \
	    $(SUDO) apt-get update -q; \
	  fi; \
	  $(SUDO) env PREFIX=$(WINQT) windows/build.sh; \
	fi

$(WIN_BUILD)/CMakeCache.txt:
	cmake -G Ninja -S . -B $(WIN_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(WINQT)/lib/cmake/Qt6/qt.toolchain.cmake \
	  -DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/windows/toolchain-mingw64.cmake

windows-configure: windows-qt $(WIN_BUILD)/CMakeCache.txt

windows: windows-configure
	cmake --build $(WIN_BUILD) -j $(JOBS) --target parvela parvelaclient installer
	@echo "Built $(abspath $(WIN_BUILD))/parvela.exe and parvelaclient.exe; the installer:"
	@ls $(abspath $(WIN_BUILD))/parvela-client-*-setup.exe

# Every test program built for Windows, run under Wine, and the installer tried out.
windows-test: windows
	cmake --build $(WIN_BUILD) -j $(JOBS)
	windows/run-tests $(WIN_BUILD)

clean:
	rm -rf $(BUILD) $(RELEASE) $(BENCH_BUILD) $(WIN_BUILD)
