#!/usr/bin/env bash
# Fails when the settings editor's core is built with Qt: a Qt library among the libraries
# it links, or a Qt symbol in its archive (scripts/checkLayers.sh looks for Qt headers).
# Usage: coreHasNoQt.sh <file listing its link libraries> <archive>
set -uo pipefail
links=${1:?links file} archive=${2:?archive}
faults=0

if hits=$(tr ';' '\n' <"$links" | grep -E 'Qt[0-9]*::|Qt[0-9]+[A-Z]'); then
  echo "the core links Qt:"
  echo "$hits"
  faults=$((faults + 1))
fi

# Qt's classes all start with Q and a capital; its free functions with qt_.
if hits=$(nm -C "$archive" | grep -E '(^|[^A-Za-z0-9_])(Q[A-Z][A-Za-z0-9_]*|Qt)::|[[:space:]]qt_' |
          sort -u | head -n 20); [ -n "$hits" ]; then
  echo "Qt symbols in $archive:"
  echo "$hits"
  faults=$((faults + 1))
fi

if [ "$faults" -gt 0 ]; then
  exit 1
fi
echo "the core uses no Qt"
