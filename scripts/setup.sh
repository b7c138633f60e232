#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for the native and Windows builds,
# the Wine test runs and the benchmark. Idempotent and quiet when all is there.
set -euo pipefail

packages=(
  cmake g++ make pkg-config googletest libgtest-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 locales xvfb xdotool x11-utils imagemagick fonts-wqy-microhei
  hyperfine tree python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  log=$(mktemp)
  if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log"
    echo "setup: installing failed" >&2
    exit 1
  fi
  rm -f "$log"
fi

# The Wine tests run with code page 936 (zh_CN.UTF-8) and 1252 (C.UTF-8).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  echo "setup: generating zh_CN.UTF-8"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
