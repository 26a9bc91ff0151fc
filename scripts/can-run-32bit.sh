#!/bin/sh
# Tells whether this machine runs 32-bit x86 programs, which wine32 needs: builds a tiny static
# 32-bit program and runs it. Exits 0 when it runs; otherwise 1, with the reason on standard output.
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf 'int main (void) { return 0; }\n' > "$dir/probe.c"

if ! gcc -m32 -static -o "$dir/probe" "$dir/probe.c" > "$dir/log" 2>&1; then
  echo "no 32-bit C library to build a probe with (g++-multilib is missing)"
  exit 1
fi

if ! output=$("$dir/probe" 2>&1); then
  echo "this kernel does not run 32-bit programs: ${output##*: }"
  exit 1
fi
