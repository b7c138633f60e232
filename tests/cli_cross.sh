#!/usr/bin/env bash
# The same tree gives the same report on Linux and on Windows: runs the
# native dirtree-cli and dirtree-cli.exe under Wine on one tree with GBK
# names and compares every line after the header (the header is the target
# as typed, which differs: /tmp/x against Z:\tmp\x).
#   cli_cross.sh NATIVE_CLI WINDOWS_CLI LOCALE
set -uo pipefail
native=$1 windows=$2 locale=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

t=$work/树
mkdir -p "$t/目录/子目录" "$t/空" "$t/b"
head -c 1100 /dev/zero >"$t/a.txt"
head -c 1536 /dev/zero >"$t/目录/文件.txt"
head -c 100 /dev/zero >"$t/目录/子目录/深.dat"
truncate -s 5000000000 "$t/b/big.bin"
TZ=UTC touch -m -d '2019-10-14 04:59:46' "$t/a.txt" "$t/目录/文件.txt" "$t/目录/子目录/深.dat"
winpath="Z:$(sed 's|/|\\|g' <<<"$t")"

for args in "--annotate size" "--annotate size --readable --pad 3" "--annotate modified" \
            "--annotate none -L 0" "--annotate size -L 1 --pad 0"; do
  # shellcheck disable=SC2086
  "$native" $args "$t" -o "$work/native.txt"
  # shellcheck disable=SC2086
  "$here/../scripts/wine-run" --locale "$locale" "$windows" $args "$winpath" -o "$work/windows.txt"
  if ! cmp -s <(tail -n +2 "$work/native.txt") <(tail -n +2 "$work/windows.txt"); then
    echo "FAIL: reports differ for '$args'"
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
