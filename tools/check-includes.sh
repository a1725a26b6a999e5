#!/usr/bin/env bash
# Fails when an include runs against the direction of the layers: the host's
# text half (src/host/text) includes nothing of the project outside itself,
# its platform half (src/host/platform) nothing of src/app or src/alloc, and
# the program's code (src/app, src/alloc) nothing of lotrano-verify's
# (src/verify), which sits on top of it.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0

# Reports the project includes of a folder that do not start with one of the
# allowed prefixes.
allow_only() {
  local folder=$1 allowed=$2
  local found
  found=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder" |
    grep -vE "#[[:space:]]*include[[:space:]]*\"($allowed)" || true)
  if [ -n "$found" ]; then
    echo "$folder may include only $allowed of the project:" >&2
    echo "$found" >&2
    status=1
  fi
}

allow_only src/host/text 'host/text/'
allow_only src/host/platform 'host/text/|host/platform/'
allow_only src/alloc 'alloc/|host/'
allow_only src/app 'app/|alloc/|host/'
exit $status
