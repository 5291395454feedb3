# Shared by the project's commands: builds one configuration of the project. Sourced, not run.
# The packages come from scripts/install_packages.sh.

# kestrel_build <preset> [cmake options]...: configures the preset's folder (with ccache
# when the machine has it), then builds incrementally.
kestrel_build() {
  local preset="$1"
  shift
  local launcher=()
  if command -v ccache >/dev/null; then
    export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/kestrel-ccache}"
    export CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  # CMake finds the presets in the working folder.
  (cd "$KESTREL_ROOT" && cmake --preset "$preset" "${launcher[@]}" "$@" >/dev/null &&
    cmake --build --preset "$preset" -- -j"$(nproc)")
}

KESTREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
