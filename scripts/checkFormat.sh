#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what clang-format makes of it under the
# tree's .clang-format. Run by CTest; `clang-format -i <file>` mends a file it names.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! git ls-files -z -- '*.h' '*.cpp' | xargs -0 clang-format --dry-run --Werror; then
  echo "formatting differs from .clang-format: run clang-format -i on the files above"
  exit 1
fi
echo "every C++ file is formatted"
