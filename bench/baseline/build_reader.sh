#!/usr/bin/env bash
# Builds the host's DXF reader as it was at an earlier commit, so that bench_dxf_load times it on
# the same file as today's: a git worktree of the commit in BUILD-DIR/baseline-COMMIT/source, a
# Release build of its host library beside it, and this tree's bench/baseline/dxf_load_seconds.cpp
# compiled against them. Later runs only check that everything is built.
# usage: build_reader.sh COMMIT BUILD-DIR; prints the path of the timing program.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
commit="$1"
dir="$(cd "$2" && pwd)/baseline-$commit"
if [ ! -e "$dir/source/.git" ]; then
  git -C "$root" worktree prune
  git -C "$root" worktree add --detach "$dir/source" "$commit" >&2
fi
# Paths below the commit's folder are hashed relative to it, so that builds of other commits
# share the cache.
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/kestrel-ccache}" CCACHE_NOHASHDIR=1 CCACHE_BASEDIR="$dir"
cmake -S "$dir/source" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_TESTS=OFF \
  >/dev/null
cmake --build "$dir/build" --target drawhost -- -j"$(nproc)" >&2
program="$dir/dxf_load_seconds"
source="$root/bench/baseline/dxf_load_seconds.cpp"
library="$dir/build/lib/libdrawhost.so"
# The program includes "kestrel/..."; commits before the public headers moved to include/kestrel
# had them at the top of the tree, which a link named kestrel stands in for (their headers include
# each other from the top of the tree).
if [ -d "$dir/source/include/kestrel" ]; then
  includes=(-I"$dir/source/include")
else
  mkdir -p "$dir/include" && ln -sfn "$dir/source" "$dir/include/kestrel"
  includes=(-I"$dir/include" -I"$dir/source")
fi
if [ ! "$program" -nt "$source" ] || [ ! "$program" -nt "$library" ]; then
  c++ -std=c++20 -O3 -DNDEBUG "${includes[@]}" "$source" -o "$program" \
    -L"$dir/build/lib" -ldrawhost -Wl,-rpath,"$dir/build/lib"
fi
echo "$program"
