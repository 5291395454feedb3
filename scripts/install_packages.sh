#!/usr/bin/env bash
# Installs the Debian packages the project needs and the machine lacks (as root, or through
# sudo). With no argument: what building, the demo and the tests need. `bench` adds the C++ DXF
# libraries the benchmarks measure against (and git, for the worktree of an earlier reader);
# `gallery` adds what scripts/gallery.sh draws with; `coverage` what scripts/coverage.sh measures
# with.
set -euo pipefail

# LibreCAD converts saved drawings to PDF, headless, for the interop tests.
# Doxygen builds the reference of the headers, which a test checks.
packages=(cmake ninja-build g++ ccache libgtest-dev libgmock-dev libbenchmark-dev libboost-dev
  libpugixml-dev librapidxml-dev python3 python3-ezdxf librecad doxygen)
for group in "$@"; do
  case "$group" in
    bench) packages+=(libdxflib-dev libdime-dev git) ;;
    gallery) packages+=(python3-matplotlib python3-pil librsvg2-bin) ;;
    coverage) packages+=(gcovr) ;;
    *) echo "install_packages.sh: unknown group '$group' (bench, gallery, coverage)" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
