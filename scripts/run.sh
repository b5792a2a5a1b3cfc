#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh release
app=build/release/bin/PageGleanSettings
if [ -x "$app" ]; then
  exec "$app" "$@"
fi
echo "Everything built, but the program PageGleanSettings is not built yet." >&2
