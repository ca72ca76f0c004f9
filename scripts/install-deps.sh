#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need on Debian 12.
# Idempotent. Only GLFW 3.4 and NanoVG come from trixie, pinned narrowly so that
# no bookworm base package is ever upgraded.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: must run as root" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive

packages=(
  build-essential cmake pkg-config ninja-build git
  libgl-dev libgles-dev libegl-dev libgl1-mesa-dri
  libglfw3 libglfw3-dev libnanovg-dev
  rapidjson-dev nlohmann-json3-dev libcxx-serial-dev libboost-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps x11-utils imagemagick
  psmisc iproute2 util-linux socat sox procps
  python3 python3-websockets python3-fonttools python3-pil
  fonts-montserrat fonts-material-design-icons-iconfont fonts-noto-cjk fonts-noto-cjk-extra fonts-dejavu-core
  hyperfine valgrind strace
)
if ! command -v node >/dev/null 2>&1; then
  packages+=(nodejs npm)
fi

allInstalled() {
  local status
  status=$(dpkg-query -W -f='${Status}\n' "${packages[@]}" 2>/dev/null) || return 1
  ! grep -v -q '^install ok installed$' <<<"$status"
}
if [ -f /etc/apt/sources.list.d/trixie.list ] && allInstalled; then
  exit 0
fi

bookwormMirror() {
  local uri=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    uri=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
  fi
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1 == "deb" && $0 ~ /bookworm/ && $0 !~ /security/ {for (i = 2; i <= NF; i++) if ($i ~ /^(https?|file|ftp):/) {print $i; exit}}' /etc/apt/sources.list)
  fi
  if [ -z "$uri" ]; then
    echo "install-deps: cannot find the Debian mirror in the apt sources" >&2
    exit 1
  fi
  printf '%s\n' "$uri"
}

if [ ! -f /etc/apt/sources.list.d/trixie.list ]; then
  echo "deb $(bookwormMirror) trixie main" > /etc/apt/sources.list.d/trixie.list
fi
cat > /etc/apt/preferences.d/99-trixie-pin <<'PIN'
Package: libglfw3 libglfw3-dev libnanovg-dev
Pin: release n=trixie
Pin-Priority: 500

Package: *
Pin: release n=trixie
Pin-Priority: 100
PIN

apt-get update

apt-get install -y --no-install-recommends "${packages[@]}"

# The pin must have kept the base system on bookworm.
if apt-get -s dist-upgrade | grep '^Inst ' | grep -q -E 'Debian:13|trixie'; then
  echo "install-deps: apt would upgrade base packages from trixie; the pin is wrong" >&2
  exit 1
fi
