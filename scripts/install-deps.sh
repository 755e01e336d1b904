#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.d/*.txt (one list per area) that are
# not installed yet. Needs root, or sudo.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lists=("$here"/packages.d/*.txt)
wanted=$(grep -hv '^\s*\(#\|$\)' "${lists[@]}" | sort -u)
missing=()
for pkg in $wanted; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
