#!/usr/bin/env bash
# Runs the native tests and the Windows tests under Wine, then prints one
# summary line over both: "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."

passed=0 failed=0
run_suite() {
  local dir=$1 log
  log=$(mktemp)
  (cd "$dir" && ctest --output-on-failure -j "${CTEST_JOBS:-2}" --timeout 600) 2>&1 | tee "$log"
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [[ -z $line ]]; then
    echo "check: no test summary from $dir"
    failed=$((failed + 1))
  else
    local bad total
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  rm -f "$log"
}

run_suite build
scripts/wine-prefix
run_suite build-win
WINEPREFIX=$PWD/build-win/wineprefix wineserver -k 2>/dev/null || true

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
