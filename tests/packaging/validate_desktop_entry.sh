#!/usr/bin/env bash
# Fails on any message from desktop-file-validate, hints and warnings included.
set -euo pipefail
command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate missing: run scripts/setup"; exit 1; }
output=$(desktop-file-validate "$1" 2>&1) || { echo "$output"; exit 1; }
if [[ -n $output ]]; then
  echo "$output"
  exit 1
fi
