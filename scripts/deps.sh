#!/bin/bash
# Installs the Debian 12 packages the build needs, when any is missing.
set -euo pipefail
PKGS=(build-essential cmake ninja-build pkg-config
      qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin libgl-dev
      libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev clang-tidy
      fonts-dejavu-core xauth tidy chromium)
missing=()
for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
fi
