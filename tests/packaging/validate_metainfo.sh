#!/usr/bin/env bash
# Fails on any error, warning or info from the AppStream validator (pedantic hints are shown but
# allowed), and when the newest release is not the project's version.
set -euo pipefail
metainfo=$1
version=$2
command -v appstreamcli >/dev/null || { echo "appstreamcli missing: run scripts/setup"; exit 1; }
appstreamcli validate --no-net --strict --pedantic --explain "$metainfo"
newest=$(grep -o '<release [^>]*version="[^"]*"' "$metainfo" | head -n 1 | sed 's/.*version="\([^"]*\)".*/\1/')
if [[ $newest != "$version" ]]; then
  echo "newest release in the metainfo is '$newest', the project's version is '$version'"
  exit 1
fi
