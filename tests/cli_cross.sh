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
# tmpfs lists a directory in creation order (or its reverse), which lets a
# tree list its entries sorted on Linux as Wine lists them.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
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
# Time stamps at chosen UTC instants: exact midnight, seven seconds past it,
# and a fraction of .6 s, which is dropped.
for stamp in "2020-01-02 00:00:00" "2020-01-02 00:00:07" "2019-10-14 04:59:46.6"; do
  d=$work/time-${stamp//[^0-9]/}
  mkdir -p "$d"
  touch "$d/f"
  TZ=UTC touch -m -d "$stamp" "$d/f"
  TZ=UTC touch -a -d "$stamp" "$d/f"
done
rows=("树|--annotate size" "树|--annotate size --readable --pad 3" "树|--annotate modified"
      "树|--annotate none -L 0" "树|--annotate size -L 1 --pad 0" "big|--readable" "big|"
      "empty|--annotate modified"
      "time-20200102000000|--annotate modified --pad 0" "time-20200102000007|--annotate accessed"
      "time-201910140459466|--annotate modified")
# Several entries per level, created so that Linux lists each level sorted
# by name, as Wine does. Links and dot names are left out: Wine shows a Unix
# link as its target and marks a dot name hidden, where Linux sets no bit.
if python3 "$here/ordered_tree.py" "$work/多" '[["a.txt", 1100], ["zz", 7],
    ["甲", [["一兆.bin", 1048576], ["乙", [["z", 0], ["丙", [["深.txt", 5]]]]]]], ["空目录", []]]' \
    1571029186; then
  rows+=("多|--annotate size" "多|--readable --pad 1" "多|--annotate none -L 1" "多|--annotate modified")
else
  echo "skip: this file system cannot list a tree in Wine's order"
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

# The texts of those stamps, from the Windows program.
for row in "time-20200102000000|--annotate modified --pad 0|└─f2020年1月2日" \
           "time-20200102000007|--annotate accessed --pad 1|└─f 2020年1月2日0时0分7秒" \
           "time-201910140459466|--annotate modified --pad 1|└─f 2019年10月14日4时59分46秒"; do
  IFS='|' read -r dir args line <<<"$row"
  # shellcheck disable=SC2086
  TZ=Asia/Shanghai "$here/../scripts/wine-run" --locale "$locale" "$windows" $args \
    "Z:$(sed 's|/|\\|g' <<<"$work/$dir")" -o "$work/windows.txt"
  if [[ $(tail -n +2 "$work/windows.txt" | iconv -f CP936 -t UTF-8) != "$line"$'\r' ]]; then
    echo "FAIL: stamp text for $dir: $(tail -n +2 "$work/windows.txt" | iconv -f CP936 -t UTF-8)"
    failures=$((failures + 1))
  fi
done

echo "cli_same_report: $failures failure(s)"
[[ $failures -eq 0 ]]
