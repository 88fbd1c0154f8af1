#!/usr/bin/env bash
# Installs the Debian packages of a list (default: what the build and the tests
# need), only when some are missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
list=${1:-$here/debian-packages.txt}
mapfile -t wanted < <(grep -vE '^\s*(#|$)' "$list")

# A name may also be provided by an installed package of another name (a nodejs built
# elsewhere provides npm); asking apt for the real one then only conflicts with it.
declare -A provided=()
while read -r name; do
  [[ -n $name ]] && provided[$name]=1
done < <(dpkg-query -W -f='${db:Status-Abbrev}|${Provides}\n' 2>/dev/null |
           awk -F'|' '$1 ~ /^ii/ { print $2 }' | tr ',' '\n' | sed -E 's/\(.*\)//; s/^ +//; s/ +$//')

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" || -n ${provided[$package]:-} ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
