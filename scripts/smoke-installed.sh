#!/usr/bin/env bash
# Installs the Debian package a build made, drives the installed program on a real X server
# (tests/smoke/x11_smoke.sh), then removes the package again.
#   smoke-installed.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
package=$(ls -t "$build"/tessik_*.deb | head -n 1)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "./$package"
trap '"${sudo_cmd[@]}" apt-get remove -y -q tessik >/dev/null' EXIT
tests/smoke/x11_smoke.sh /usr/bin/tessik /usr/share/tessik/samples/Conveyor_stoppage.rca.xml
