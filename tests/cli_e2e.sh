#!/usr/bin/env bash
# dirtree-cli end to end on real trees on Linux: the report bytes, links,
# the report inside its own tree, the path limit, time stamps, exit codes.
#   cli_e2e.sh PATH/TO/dirtree-cli
set -uo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect_report NAME EXPECTED_UTF8_FILE ACTUAL_GBK_FILE
expect_report() {
  local got
  got=$(iconv -f CP936 -t UTF-8 <"$3" | od -c)
  if [[ $got != "$(od -c <"$2")" ]]; then
    fail "$1"
    diff <(iconv -f CP936 -t UTF-8 <"$3" | cat -A) <(cat -A <"$2") | head -20
  fi
}
crlf() { printf '%s\r\n' "$@"; }
# run NAME ARGS...: one successful run whose report is written anew.
run() {
  local name=$1
  shift
  rm -f "$work/r"
  "$cli" "$@" || fail "$name: exit code $?"
}

# Entries come in directory order; a tree whose directories hold one entry,
# or whose order we do not depend on, keeps the expectations exact.
t=$work/sizes
mkdir -p "$t/src"
head -c 2048 /dev/zero >"$t/src/main.c"
crlf "$t" "└─src" "      └─main.c  2048 B" >"$work/expected"
"$cli" --pad 2 "$t" -o "$work/r1" || fail "sizes exit code"
expect_report "exact sizes" "$work/expected" "$work/r1"

# The two example reports byte for byte, on tmpfs, where a directory lists
# its entries in the order of their creation (or its reverse).
shm=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
ordered_tree() { python3 "$(dirname "$0")/ordered_tree.py" "$@"; }
if ordered_tree "$shm/Work" '[["a.txt", 100], ["src", [["main.c", 2048]]], ["z.txt", 300]]' &&
   ordered_tree "$shm/T" '[["b.txt", 0], ["d", [["e", [["g.txt", 0]]], ["f.txt", 0]]]]'; then
  x=$shm/Work
  crlf "$x" "├─a.txt  100 B" "├─src" "│   └─main.c  2048 B" "└─z.txt  300 B" >"$work/expected"
  run "first example" --pad 2 "$x" -o "$work/r"
  expect_report "first example" "$work/expected" "$work/r"

  x=$shm/T
  crlf "$x" "├─b.txt" "└─d" "      ├─e" "      │   └─g.txt" "      └─f.txt" >"$work/expected"
  run "second example" --annotate none "$x" -o "$work/r"
  expect_report "second example" "$work/expected" "$work/r"
else
  echo "skip: the example reports need a file system that lists entries in creation order"
fi
rm -rf "$shm"

# Standard output carries the same bytes as -o.
"$cli" --pad 2 "$t" >"$work/r2" || fail "stdout exit code"
cmp -s "$work/r1" "$work/r2" || fail "stdout differs from -o"

# Readable sizes, a sparse file over 4 GiB.
t=$work/big
mkdir -p "$t"
truncate -s 5368709120 "$t/huge.bin"
crlf "$t/" "└─huge.bin 5GB" >"$work/expected"
run "readable" --readable --pad 1 "$t/" -o "$work/r"
expect_report "readable size over 4 GiB, trailing separator kept" "$work/expected" "$work/r"

# GBK names; a link to a directory is listed and not descended, a link to a
# file is sized by its target, a broken link is sized 0.
t=$work/links
mkdir -p "$t/目录"
head -c 3 /dev/zero >"$t/目录/文件.txt"
ln -s "$t/目录" "$t/目录/链接"
ln -s "$t/目录/文件.txt" "$t/目录/文件链接"
ln -s "$t/nowhere" "$t/目录/断链"
run "links" --annotate size --pad 1 "$t" -o "$work/r"
# Directory order is not sorted: compare as a set below the first two lines.
if [[ $(iconv -f CP936 -t UTF-8 <"$work/r" | sed -n '3,$p' | sed 's/[├└]─//' | sort | tr -d '\r' | tr '\n' '|') \
      != "      文件.txt 3 B|      文件链接 3 B|      断链 0 B|      链接 0 B|" ]]; then
  fail "GBK names and links"
  iconv -f CP936 -t UTF-8 <"$work/r" | cat -A
fi

# The report inside its own tree is listed with size 0.
t=$work/inside
mkdir -p "$t"
run "inside" --pad 1 "$t" -o "$t/report.txt"
crlf "$t" "└─report.txt 0 B" >"$work/expected"
expect_report "report inside the tree" "$work/expected" "$t/report.txt"

# Time stamps in UTC whatever the time zone, to the stamp's own second.
t=$work/times
mkdir -p "$t"
touch "$t/f"
for zone in UTC Asia/Shanghai; do
  TZ=UTC touch -m -d '2019-10-14 04:59:46.6' "$t/f"
  TZ=$zone run "time zone $zone" --annotate modified --pad 1 "$t" -o "$work/r"
  crlf "$t" "└─f 2019年10月14日4时59分46秒" >"$work/expected"
  expect_report "last-write time in $zone" "$work/expected" "$work/r"
done
TZ=UTC touch -a -d '2020-01-02 00:00:00' "$t/f"
run "accessed" --annotate accessed --pad 0 "$t" -o "$work/r"
crlf "$t" "└─f2020年1月2日" >"$work/expected"
expect_report "midnight is the date alone" "$work/expected" "$work/r"
TZ=UTC touch -a -d '2020-01-02 00:00:07' "$t/f"
run "accessed" --annotate accessed --pad 0 "$t" -o "$work/r"
crlf "$t" "└─f2020年1月2日0时0分7秒" >"$work/expected"
expect_report "seconds after midnight" "$work/expected" "$work/r"

# The creation time is the birth time where the file system keeps one
# (today, in UTC), otherwise 1 January 1601.
run "created" --annotate created --pad 1 "$t" -o "$work/r"
created=$(tail -n +2 "$work/r" | iconv -f CP936 -t UTF-8 | tr -d '\r')
today=$(TZ=UTC date +%Y年%-m月%-d日)
[[ $created == "└─f $today"* || $created == "└─f 1601年1月1日" ]] || fail "creation time: $created"

# A directory nested past 259 characters shows no contents.
t=$work/deep/$(printf 'd%.0s' {1..200})
mkdir -p "$t/$(printf 'e%.0s' {1..70})/inner"
run "path limit" --annotate none "$t" -o "$work/r"
[[ $(wc -l <"$work/r") -eq 2 ]] || fail "path limit: expected header and one entry"

# Depth limits.
t=$work/depth
mkdir -p "$t/a/b/c"
for row in "0 2" "1 3" "2 4" "-1 4" "-5 4"; do
  set -- $row
  run "depth $1" --annotate none -L "$1" "$t" -o "$work/r"
  [[ $(wc -l <"$work/r") -eq $2 ]] || fail "depth $1: $(wc -l <"$work/r") lines"
done

# Failures: exit codes, and no report file touched.
echo keep >"$work/existing"
"$cli" "$work/missing" -o "$work/existing" 2>/dev/null
[[ $? -eq 1 ]] || fail "missing target exit code"
[[ $(cat "$work/existing") == keep ]] || fail "missing target emptied the report"
"$cli" "$work/existing" -o "$work/other" 2>/dev/null
[[ $? -eq 1 && ! -e $work/other ]] || fail "file as target"
"$cli" "$work/sizes" -o "$work/no/such/dir/r" 2>/dev/null
[[ $? -eq 1 ]] || fail "report that cannot be created"
"$cli" "$work/sizes" -o /dev/full 2>/dev/null
[[ $? -eq 1 ]] || fail "a full disk must not be reported as success"
for args in "--bogus $work" "--depth abc $work" "--pad 1.5 $work" "--pad" "" \
            "--annotate sizes $work" "$work $work"; do
  # shellcheck disable=SC2086
  "$cli" $args >/dev/null 2>&1
  [[ $? -eq 2 ]] || fail "usage error for '$args'"
done
# Out of memory for a padding of two thousand million blanks: the fatal
# message with the bytes requested, exit code -1.
"$cli" --pad 2000000000 "$work/sizes" -o "$work/r" 2>"$work/err"
[[ $? -eq 255 ]] || fail "memory failure exit code"
grep -q '分配 2000000001 字节内存失败!' "$work/err" || fail "memory failure message: $(cat "$work/err")"
"$cli" --help >/dev/null || fail "--help"
"$cli" --version | grep -q dirtree-cli || fail "--version"

echo "cli_e2e: $failures failure(s)"
[[ $failures -eq 0 ]]
