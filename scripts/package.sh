#!/usr/bin/env bash
# Builds the release configuration and makes the Debian package of it in build/release,
# then checks the package: nothing in it writable by others and no configuration beside the
# programs, and no lintian error. Prints the package's path last.
# Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# cpack's shlibdeps step asks file(1) which files are programs.
bash scripts/deps.sh lintian file
bash scripts/build.sh release

dir=build/release
rm -f "$dir"/pageglean-settings_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
debs=("$dir"/pageglean-settings_*.deb)
deb=${debs[0]}

contents=$(dpkg-deb -c "$deb")
if grep -E '^[^l].{4}w|^[^l].{7}w' <<<"$contents"; then
  echo "package.sh: the package holds files that others may write" >&2
  exit 1
fi
if grep -E ' \./usr/bin/.*\.ini$' <<<"$contents"; then
  echo "package.sh: the package puts a configuration file beside the programs" >&2
  exit 1
fi

if command -v lintian >/dev/null; then
  status=0
  report=$(lintian --fail-on error --display-info "$deb" 2>&1) || status=$?
  [ -n "$report" ] && echo "$report"
  if [ "$status" -ne 0 ] || grep -q '^E:' <<<"$report"; then
    echo "package.sh: lintian reports errors in $deb" >&2
    exit 1
  fi
else
  echo "package.sh: lintian is not installed; the package is unchecked" >&2
fi
echo "$deb"
