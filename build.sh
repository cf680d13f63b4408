#!/bin/sh
# ./build.sh run   installs what is missing, builds and starts the program
# ./build.sh test  installs what is missing, builds with sanitizers and runs every test
# JOBS=n ./build.sh ...  limits the parallel compile and test jobs (default: all cores)
set -eu
cd "$(dirname "$0")"

PACKAGES="cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev libhidapi-dev libusb-1.0-0-dev fonts-dejavu-core qt6-translations-l10n openssl appstream desktop-file-utils qt6-charts-dev libqt6opengl6-dev"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi

JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
case "${1:-}" in
  run)
    cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTOVRI_TESTS=OFF -DTOVRI_BENCH=OFF
    cmake --build build/release -j "$JOBS"
    exec build/release/app/tovri
    ;;
  test)
    cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DTOVRI_SANITIZE=ON -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
    cmake --build build/test -j "$JOBS"
    cd build/test && ctest --output-on-failure -j "$JOBS"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
