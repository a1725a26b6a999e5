#!/usr/bin/env bash
# Configures the release build that `make install` and `make deb` share, for
# the installation prefix PREFIX: without tests, with Debian's hardening
# flags (all of them) where dpkg-buildflags is there, so that the programs
# that make install puts on a system are those of the package.
#   tools/configure-release.sh BUILD_DIR PREFIX
set -euo pipefail
build=${1:?build directory}
prefix=${2:?installation prefix}
flags=()
if command -v dpkg-buildflags >/dev/null 2>&1; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  flags=(-DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)")
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLOTRANO_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${flags[@]}" >/dev/null
