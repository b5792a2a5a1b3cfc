#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what clang-format makes of it under the
# tree's .clang-format. Run by CTest; `clang-format -i <file>` mends a file it names.
set -euo pipefail
cd "$(dirname "$0")/.."

# The tracked files; without git (a copied tree), every file outside the build folders.
sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z -- '*.h' '*.cpp'
  else
    find . \( -path ./build -o -path ./.git \) -prune -o \
      -type f \( -name '*.h' -o -name '*.cpp' \) -print0
  fi
}

if ! sources | xargs -0 clang-format --dry-run --Werror; then
  echo "formatting differs from .clang-format: run clang-format -i on the files above"
  exit 1
fi
echo "every C++ file is formatted"
