#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine and
# builds the Windows copies of the third-party libraries into build/third_party.
# Safe to run again: each step is skipped when its result is already there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
tp="$build/third_party"
mkdir -p "$tp"

packages=(cmake ninja-build g++ make pkg-config python3 dpkg-dev locales
          g++-mingw-w64-x86-64 wine64 wine xvfb xauth xdotool imagemagick
          libpugixml-dev libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev
          fonts-nanum   # Korean glyphs, so that Wine shows Korean captions legibly
          fonts-wine)   # Wine's own fonts: Marlett draws the caption buttons, Tahoma the dialogs
# The fuzz targets: clang, libFuzzer and the sanitizers' runtimes (the last
# are only recommended by clang, and recommendations are not installed).
packages+=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  [ "$(id -u)" = 0 ] || { echo "setup: run as root to install packages" >&2; exit 1; }
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A Korean locale, so that the tests can give Wine a Korean host.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  [ "$(id -u)" = 0 ] || { echo "setup: run as root to generate the ko_KR.UTF-8 locale" >&2; exit 1; }
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ko_KR.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

cxx=x86_64-w64-mingw32-g++-posix
cc=x86_64-w64-mingw32-gcc-posix

# Debian's source packages, fetched with a source list of our own so that the
# machine's apt configuration stays untouched.
fetch_source() { # name dir-glob
  local name=$1
  local aptdir="$tp/apt"
  mkdir -p "$aptdir/parts" "$aptdir/lists/partial" "$tp/src"
  if [ ! -f "$aptdir/parts/src.sources" ]; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$aptdir/parts/src.sources"
    else
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > "$aptdir/parts/src.list"
    fi
  fi
  local opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$aptdir/parts"
              -o Dir::State::Lists="$aptdir/lists" -o APT::Sandbox::User=root)
  if [ -z "$(ls "$aptdir/lists" 2>/dev/null | grep -v partial)" ]; then
    apt-get "${opts[@]}" update -qq
  fi
  (cd "$tp/src" && apt-get "${opts[@]}" source -qq "$name" >/dev/null)
}

# pugixml: compiled as one file into a static library, without its
# std::string and stream functions: those would bring the whole iostream and
# locale code of the C++ library into Kestro.exe (about 500 KB). The stamp
# marks a library built that way.
if [ ! -f "$tp/win/lib/libpugixml.a" ] || [ ! -f "$tp/win/lib/pugixml.nostl" ]; then
  ls -d "$tp"/src/pugixml-*/ >/dev/null 2>&1 || fetch_source pugixml
  src=$(ls -d "$tp"/src/pugixml-*/ | head -n1)
  mkdir -p "$tp/win/include" "$tp/win/lib" "$tp/obj"
  cp "$src/src/pugixml.hpp" "$src/src/pugixml.cpp" "$tp/win/include/"
  # The define goes into the installed configuration, so that Kestro's
  # sources see the same interface as the library.
  { cat "$src/src/pugiconfig.hpp"; echo '#define PUGIXML_NO_STL'; } >"$tp/win/include/pugiconfig.hpp"
  $cxx -O2 -std=c++17 -I"$tp/win/include" -c "$tp/win/include/pugixml.cpp" -o "$tp/obj/pugixml.o"
  rm -f "$tp/win/include/pugixml.cpp" "$tp/win/lib/libpugixml.a"
  x86_64-w64-mingw32-ar rcs "$tp/win/lib/libpugixml.a" "$tp/obj/pugixml.o"
  touch "$tp/win/lib/pugixml.nostl"
fi

# libjpeg-turbo: static, without SIMD (no nasm needed) and without TurboJPEG.
if [ ! -f "$tp/win/lib/libjpeg.a" ]; then
  ls -d "$tp"/src/libjpeg-turbo-*/ >/dev/null 2>&1 || fetch_source libjpeg-turbo
  src=$(ls -d "$tp"/src/libjpeg-turbo-*/ | head -n1)
  cmake -S "$src" -B "$tp/obj/jpeg" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=AMD64 \
    -DCMAKE_C_COMPILER=$cc -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres \
    -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    -DCMAKE_INSTALL_PREFIX="$tp/win" -DCMAKE_INSTALL_LIBDIR="$tp/win/lib" -Wno-dev >/dev/null
  cmake --build "$tp/obj/jpeg" --target install >/dev/null
fi

# GoogleTest from the sources that libgtest-dev ships.
if [ ! -f "$tp/win/lib/libgtest.a" ]; then
  cmake -S /usr/src/googletest -B "$tp/obj/gtest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=AMD64 \
    -DCMAKE_C_COMPILER=$cc -DCMAKE_CXX_COMPILER=$cxx \
    -DCMAKE_INSTALL_PREFIX="$tp/win" -DCMAKE_INSTALL_LIBDIR=lib -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$tp/obj/gtest" --target install >/dev/null
fi
echo "setup: done"
