#!/usr/bin/env bash
# Installs the Debian packages Curvalon needs, and only those missing: with --run, what building
# and running the tool takes; without, also what the tests, benchmarks, fuzzing and packaging take.
set -euo pipefail

# The trend chart's module finds its OpenGL dependency only through libqt6opengl6-dev, which
# qt6-charts-dev does not pull in without recommended packages.
packages=(cmake g++ make pkg-config qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins)
# dpkg-dev gives cpack the shared-library dependencies of the Debian package; locales holds the
# sources from which the test command builds a decimal-comma locale. The tests compare the window
# with stored pictures drawn in DejaVu Sans, so that font is pinned rather than left to chance.
if [[ "${1:-}" != "--run" ]]; then
    packages+=(libbenchmark-dev clang libclang-rt-14-dev dpkg-dev locales fonts-dejavu-core)
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
    as_root=()
elif command -v sudo >/dev/null; then
    as_root=(sudo)
else
    echo "Need root or sudo to install: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
