#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n libfontconfig-dev
  fonts-dejavu-core
  # the French words of the editor's menu "Mots" and of the command line
  wfrench
  # the end-to-end test on a real X server, and the check of the installed desktop files
  xvfb xdotool xclip python3 desktop-file-utils appstream
  # the Debian package: its dependencies computed from the binary, and lintian
  dpkg-dev file lintian)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
