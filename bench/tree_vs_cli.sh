#!/usr/bin/env bash
# Times `dirtree-cli --annotate size` against `tree -a -n -s --noreport` on a
# synthetic tree of 100 000 entries and prints the ratio. Not a test.
#   bench/tree_vs_cli.sh [CLI]   (default: build/dirtree-cli)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/dirtree-cli}
# Outside the source tree, so that `make run` does not list it.
work=${BENCH_DIR:-${TMPDIR:-/tmp}/dirtree-bench}
tree_dir=$work/tree
mkdir -p "$work"

# 100 directories x 10 subdirectories x 99 files = 100 000 entries with the
# directories, files of a few sizes, some names in Chinese.
if [[ ! -f $work/.tree-ready ]]; then
  rm -rf "$tree_dir"
  python3 - "$tree_dir" <<'PY'
import os, sys
root = sys.argv[1]
for a in range(100):
    for b in range(10):
        d = os.path.join(root, f"目录{a:03d}", f"sub{b}")
        os.makedirs(d)
        for c in range(99):
            with open(os.path.join(d, f"文件{c:02d}.txt" if c % 3 else f"file{c:02d}.dat"), "wb") as f:
                f.write(b"x" * (c * 37 % 5000))
PY
  touch "$work/.tree-ready"
fi
echo "entries: $(find "$tree_dir" -mindepth 1 | wc -l)"

# Both run in the users' locale (zh_CN.UTF-8), where tree sorts names with
# the locale's collation; in the C locale its sort is a plain byte compare.
export LC_ALL=${BENCH_LOCALE:-zh_CN.UTF-8}
hyperfine -N --warmup 2 --runs 10 --export-json "$work/result.json" \
  -n tree "tree -a -n -s --noreport -o $work/tree.txt $tree_dir" \
  -n dirtree-cli "$cli --annotate size -o $work/dirtree.txt $tree_dir"

python3 - "$work/result.json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
print(f"ratio dirtree-cli / tree: {r['dirtree-cli'] / r['tree']:.2f}")
PY
