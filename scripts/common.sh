# Shared by the project's commands: installs the Debian packages that are missing and builds
# one configuration of the project. Sourced, not run.

# Packages every build and test needs; the benchmarks and the interop tests use the last five
# (LibreCAD converts saved drawings to PDF, headless).
KESTREL_PACKAGES=(cmake ninja-build g++ ccache libgtest-dev libgmock-dev libbenchmark-dev
  libboost-dev libpugixml-dev librapidxml-dev python3-ezdxf python3 librecad)

kestrel_install_packages() {
  local missing=()
  local pkg
  for pkg in "${KESTREL_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# kestrel_build <build-dir> <cmake options>...: configures once, then builds incrementally.
kestrel_build() {
  local dir="$1"
  shift
  export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/kestrel-ccache}"
  export CCACHE_NOHASHDIR=1
  cmake -S "$KESTREL_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -- -j"$(nproc)"
}

KESTREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
