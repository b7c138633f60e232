#!/usr/bin/env bash
# The same tree gives the same report on Linux and on Windows: runs the
# native dirtree-cli and dirtree-cli.exe under Wine on one tree with GBK
# names and compares every line after the header (the header is the target
# as typed, which differs: /tmp/x against Z:\tmp\x). The two run in
# different time zones, since time stamps are written in UTC.
#   cli_cross.sh NATIVE_CLI WINDOWS_CLI LOCALE
set -uo pipefail
native=$1 windows=$2 locale=$3
here=$(cd "$(dirname "$0")" && pwd)
# On tmpfs both platforms list a directory in the same (creation) order.
if [[ $(stat -f -c %T /dev/shm 2>/dev/null) == tmpfs ]]; then
  work=$(mktemp -d -p /dev/shm)
  same_order=1
else
  work=$(mktemp -d)
  same_order=0
fi
trap 'rm -rf "$work"' EXIT
failures=0

# Each directory holds one entry: the platforms deliver entries in their own
# order (Wine sorts, Linux gives the directory's order), and the connectors
# depend on that order.
t=$work/树
mkdir -p "$t/目录/子目录"
head -c 1100 /dev/zero >"$t/目录/子目录/文件.txt"
TZ=UTC touch -m -d '2019-10-14 04:59:46' "$t/目录/子目录/文件.txt"
mkdir -p "$work/big/b"
truncate -s 5000000000 "$work/big/b/big.bin"
mkdir -p "$work/empty/空"
rows=("树|--annotate size" "树|--annotate size --readable --pad 3" "树|--annotate modified"
      "树|--annotate none -L 0" "树|--annotate size -L 1 --pad 0" "big|--readable" "big|"
      "empty|--annotate modified")
if ((same_order)); then
  # Several entries per level. Wine lists a directory sorted by name and
  # tmpfs lists it newest first, so each level is created in descending
  # name order. Links and dot names are left out: Wine shows a Unix link as
  # its target and marks a dot name hidden, where Linux sets no such bit.
  python3 - "$work/多" <<'PY'
import os, sys
tree = {"a.txt": 1100, "甲": {"一兆.bin": 1048576, "乙": {"z": 0, "丙": {"深.txt": 5}}},
        "空目录": {}, "zz": 7}
def make(path, node):
    os.makedirs(path, exist_ok=True)
    for name in sorted(node, reverse=True):
        child = os.path.join(path, name)
        if isinstance(node[name], dict):
            make(child, node[name])
        else:
            with open(child, "wb") as f:
                f.write(b"x" * node[name])
            os.utime(child, (1571029186, 1571029186))
make(sys.argv[1], tree)
PY
  rows+=("多|--annotate size" "多|--readable --pad 1" "多|--annotate none -L 1" "多|--annotate modified")
fi

for row in "${rows[@]}"; do
  target=$work/${row%%|*} args=${row#*|}
  winpath="Z:$(sed 's|/|\\|g' <<<"$target")"
  # shellcheck disable=SC2086
  TZ=UTC "$native" $args "$target" -o "$work/native.txt"
  # shellcheck disable=SC2086
  TZ=Asia/Shanghai "$here/../scripts/wine-run" --locale "$locale" "$windows" $args "$winpath" -o "$work/windows.txt"
  if ! cmp -s <(tail -n +2 "$work/native.txt") <(tail -n +2 "$work/windows.txt"); then
    echo "FAIL: reports differ for '$row'"
    diff <(iconv -f CP936 -t UTF-8 "$work/native.txt" | cat -A) \
         <(iconv -f CP936 -t UTF-8 "$work/windows.txt" | cat -A) | head -20
    failures=$((failures + 1))
  fi
done
# The Windows header is the target exactly as given, in GBK.
head -n 1 "$work/windows.txt" | cmp -s - <(printf '%s\r\n' "$winpath" | iconv -f UTF-8 -t CP936) ||
  { echo "FAIL: header line"; failures=$((failures + 1)); }

echo "cli_same_report: $failures failure(s)"
[[ $failures -eq 0 ]]
