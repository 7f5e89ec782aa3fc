#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine (run as root):
#   ./make.sh run    install what is missing, build, start the tool
#   ./make.sh test   install what is missing, build, run every test
#   ./make.sh build  install what is missing and build only
# CI=true turns compiler warnings into errors.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"
build_dir=${BUILD_DIR:-build}
deps_dir=$build_dir/deps

packages=(cmake g++ make pkg-config libuchardet-dev libgtest-dev
          qt6-base-dev xvfb xauth fonts-wqy-microhei dpkg-dev)

say() { printf '[make.sh] %s\n' "$*" >&2; }

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    say "installing: ${missing[*]}"
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

# The UTF-8 and GB18030 probers are not part of the library's public interface, so
# their sources come from the library's own Debian source package, of exactly the
# installed version. Debian's source indexes are not enabled by default: a private
# apt configuration (sources, lists and cache under the build folder) reads them
# without touching the system's own apt setup.
fetch_uchardet_source() {
  local version
  version=$(dpkg-query -W -f='${Version}' libuchardet-dev)
  local dest=$deps_dir/uchardet-$version
  if [ -f "$dest/src/nsUTF8Prober.cpp" ]; then
    echo "$dest"
    return
  fi
  local apt_dir=$here/$deps_dir/apt
  rm -rf "$apt_dir"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed -E 's/^Types:.*$/Types: deb deb-src/' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n -E 's/^deb (.*)$/deb-src \1/p' /etc/apt/sources.list > "$apt_dir/sources.list.d/from-sources-list.list"
  fi
  local opts=(-o "Dir::Etc::sourcelist=/dev/null"
              -o "Dir::Etc::sourceparts=$apt_dir/sources.list.d"
              -o "Dir::State::Lists=$apt_dir/lists"
              -o "Dir::Cache=$apt_dir/cache")
  say "fetching the uchardet $version source package"
  apt-get "${opts[@]}" update -q >&2
  local work=$deps_dir/src-work
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && apt-get "${opts[@]}" source -q --download-only "uchardet=$version" >&2)
  local dsc
  dsc=$(ls "$work"/uchardet_*.dsc | head -n1)
  dpkg-source --no-check -x "$dsc" "$dest" >&2
  rm -rf "$work" "$apt_dir"
  echo "$dest"
}

configure_and_build() {
  install_packages
  local src
  src=$(fetch_uchardet_source)
  local werror=OFF
  [ "${CI:-}" = true ] && werror=ON
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
        -DUCHARDET_SOURCE_DIR="$here/$src" -DTXTENC_WERROR=$werror >&2
  cmake --build "$build_dir" -j "$(nproc)" >&2
}

case "${1:-}" in
  deps)
    install_packages
    fetch_uchardet_source
    ;;
  build)
    configure_and_build
    ;;
  run)
    configure_and_build
    if [ -x "$build_dir/bin/txtenc-gui" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      exec "$build_dir/bin/txtenc-gui"
    fi
    exec "$build_dir/bin/txtenc" --help
    ;;
  test)
    configure_and_build
    # Window tests draw on Qt's offscreen platform; no display is needed.
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
    ;;
  *)
    echo "usage: ./make.sh run|test|build|deps" >&2
    exit 2
    ;;
esac
