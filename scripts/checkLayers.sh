#!/usr/bin/env bash
# Fails when a module includes a header of a module that lies above it in the module order,
# or when the string machinery (i18n) names a module above it. Tests and fuzz targets may
# also use testSupport/. Run by CTest; also usable by hand from anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."

# The module order, lowest first; a module may use itself and the modules before it. The
# build reads this list too (cmake/PageGlean.cmake): it adds the modules in this order and
# gives each only the headers of the modules it may use, so a new module is one word here.
order=(platform platform/inet lib/misc lib/log lib/filesys i18n win32tools config tools
       templateProcessor channel net settingsEditor settingsEditor/qt plugin viewer
       viewer/qt)

# The index of the module a path belongs to (the longest folder prefix), or -1.
moduleOf() {
  local path=$1 best=-1 bestLength=0 i
  for i in "${!order[@]}"; do
    local m=${order[$i]}
    if [[ $path == "$m"/* && ${#m} -gt $bestLength ]]; then
      best=$i
      bestLength=${#m}
    fi
  done
  echo "$best"
}

faults=0
while IFS= read -r file; do
  from=$(moduleOf "$file")
  [ "$from" -ge 0 ] || continue
  while IFS= read -r included; do
    if [[ $included == testSupport/* ]]; then
      [[ $file == */tests/* || $file == */fuzz/* ]] && continue
      echo "$file: library code includes test support: $included"
      faults=$((faults + 1))
      continue
    fi
    to=$(moduleOf "$included")
    if [ "$to" -gt "$from" ]; then
      echo "$file: ${order[$from]} includes $included of ${order[$to]}, which lies above it"
      faults=$((faults + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files -- '*.h' '*.cpp' 2>/dev/null || find . -name '*.h' -o -name '*.cpp')

# The string machinery knows no module above it: each module declares its own strings. The
# path operations below it share the namespace tools, so includes tell that module apart.
namespaces='win32tools|config|templateProcessor|channel|net|settingsEditor|plugin'
folders='win32tools|config|tools|templateProcessor|channel|net|settingsEditor|plugin'
if hits=$(grep -rnE "\b($namespaces)::|#include \"($folders)/" i18n/src i18n/tools); then
  echo "i18n names a module above it:"
  echo "$hits"
  faults=$((faults + 1))
fi

# The settings editor's core knows no toolkit; only settingsEditor/qt may use Qt.
if hits=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]|qt)' \
          settingsEditor/src); then
  echo "the settings editor's core includes Qt:"
  echo "$hits"
  faults=$((faults + 1))
fi

if [ "$faults" -gt 0 ]; then
  echo "$faults layering fault(s)"
  exit 1
fi
echo "module layers: no include runs upwards"
