#!/usr/bin/env bash
# Builds fuzz/make_pe_seeds.cpp with the test suite's PE builder and writes the seed images
# of the pe_version target into fuzz/corpus/pe_version/. The images are committed; run this
# again only to change them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
c++ -std=c++20 -Wall -Wextra -Werror -O1 -I. -o "$out/make_pe_seeds" fuzz/make_pe_seeds.cpp \
  tests/pe_fixture.cpp platform/utf.cpp
mkdir -p fuzz/corpus/pe_version
"$out/make_pe_seeds" fuzz/corpus/pe_version
ls -l fuzz/corpus/pe_version
