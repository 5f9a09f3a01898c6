#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the builds and tests need and the
# machine lacks, and fetches the libjpeg-turbo source package that the
# Windows presets cross-compile (Debian ships no mingw build of it). Quick
# when nothing is missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

packages=(cmake ninja-build ccache g++ googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick fonts-liberation2
  python3-pyftpdlib unicode-data clang libclang-rt-14-dev clang-format
  zlib1g-dev libz-mingw-w64-dev libjpeg62-turbo-dev python3-pil)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]}; run as root to install them" >&2
    exit 1
  fi
  echo "install-deps: installing ${missing[*]}" >&2
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# libjpeg-turbo's source package, for the Windows presets (cmake/JpegMingw.cmake
# builds it once per preset). The deb-src line lives in a private apt
# configuration under build/, never in the system's sources.
deps="$root/build/deps"
if ! ls "$deps"/libjpeg-turbo_*.orig.tar.gz >/dev/null 2>&1; then
  # The same mirror and suite as the system's own list.
  uri="" suite=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    uri=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources)
    suite=$(awk '/^Suites:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources)
  fi
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    read -r uri suite < <(awk '$1=="deb" && $2 !~ /^\[/ {print $2, $3; exit}' /etc/apt/sources.list)
  fi
  if [ -z "$uri" ] || [ -z "$suite" ]; then
    echo "install-deps: no Debian mirror found in the system's apt sources" >&2
    exit 1
  fi
  apt_dir="$deps/apt"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  echo "deb-src $uri $suite main" > "$apt_dir/sources.list"
  apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o APT::Sandbox::User=root)
  echo "install-deps: fetching the libjpeg-turbo source package" >&2
  apt-get "${apt_opts[@]}" update -q
  (cd "$deps" && apt-get "${apt_opts[@]}" source --download-only libjpeg-turbo)
fi
