#!/usr/bin/env bash
# Shows every dialog template of the real resources, in every language it has, with its real
# dialog class under Wine (headless), and checks that each one comes up and closes again.
# Usage: dialogs-under-wine.sh dialog-viewer.exe
set -euo pipefail
viewer=$1
export WINEPREFIX=${ORV_WINEPREFIX:-$(cd "$(dirname "$viewer")" && pwd)/wineprefix-dialogs}
source "$(dirname "$0")/wine-env.sh"
wine_prefix_ready
trap wine_stop EXIT
templates="$(dirname "$0")/dialog-templates.txt"  # template and its languages, a line each
passed=0
failed=0
while read -r template languages; do
  for language in $languages; do
    output=$(timeout 60 "$wine" "$viewer" "$template" "$language" --close 2>&1 | tr -d '\r') || true
    if grep -q '^rect [0-9-]* [0-9-]* [1-9][0-9]* [1-9][0-9]*$' <<< "$output" &&
       grep -qx 'result 2' <<< "$output"; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      echo "FAIL dialog $template in $language:"
      echo "$output"
    fi
  done
done < "$templates"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
