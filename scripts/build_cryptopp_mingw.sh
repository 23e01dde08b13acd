#!/usr/bin/env bash
# Builds the part of Crypto++ the app uses (Twofish-CBC, gzip, string
# sources/sinks) as a static library for x86_64 Windows with MinGW-w64, from
# Debian's source of the same version as the installed libcrypto++-dev, so
# the native tests and the Windows build share one Crypto++.
# Usage: scripts/build_cryptopp_mingw.sh <deps-dir>
# Result: <deps-dir>/cryptopp-mingw/{lib/libcryptopp.a,include/cryptopp/*.h}
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 <deps-dir>" >&2
  exit 2
fi
mkdir -p "$1"
deps=$(cd "$1" && pwd)
prefix=$deps/cryptopp-mingw
srcroot=$deps/cryptopp-src

cross=x86_64-w64-mingw32
cxx=$cross-g++-posix

# Source package and version behind the installed headers (source:Version
# rather than Version, in case of a binary-only rebuild).
info=$(dpkg-query -W -f='${source:Package} ${source:Version}' libcrypto++-dev)
srcpkg=${info% *}
version=${info#* }

# The stamp also changes with this script, so that a changed object list
# rebuilds the library.
stamp="$version $(sha256sum "$0" | cut -c1-16)"
if [ -f "$prefix/lib/libcryptopp.a" ] && [ "$(cat "$prefix/.stamp" 2>/dev/null)" = "$stamp" ]; then
  exit 0
fi
echo "cryptopp: building $srcpkg $version for $cross"

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Objects needed by Twofish-CBC, StreamTransformationFilter, Gzip/Gunzip and
# StringSource/StringSink, found by linking against the full library.
# support.o replaces dll.o, which instantiates templates for every algorithm
# and so drags in nearly the whole library (see support.cpp below).
objs=(cryptlib cpu misc allocate algparam fips140 filters queue mqueue
      modes twofish tftables gzip zdeflate zinflate crc crc_simd sse_simd
      support)

# Unpacked tree: <package>-<upstream version>, no epoch, no Debian revision.
upstream=${version#*:}
upstream=${upstream%-*}
tree=$srcroot/$srcpkg-$upstream

if [ ! -f "$tree/GNUmakefile" ]; then
  # apt-get source needs a deb-src entry. Add one mirroring the Debian deb
  # entries unless the package's source is already known to apt.
  if ! apt-cache showsrc --only-source "$srcpkg" 2>/dev/null | grep -qx "Version: $version"; then
    list=/etc/apt/sources.list.d/vantreloquin-src.sources
    if ! grep -Eqs '^\s*Types:.*\bdeb-src\b' /etc/apt/sources.list.d/*.sources &&
       ! grep -Eqs '^\s*deb-src\s' /etc/apt/sources.list /etc/apt/sources.list.d/*.list; then
      echo "cryptopp: adding deb-src entries ($list)"
      sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        as_root tee "$list" >/dev/null
    fi
    echo "cryptopp: apt-get update"
    as_root apt-get update -qq
  fi
  echo "cryptopp: fetching source into $srcroot"
  mkdir -p "$srcroot"
  # apt-get source unpacks into the current directory. The sandbox option
  # keeps apt from warning that _apt cannot write to a root-owned folder.
  (cd "$srcroot" && apt-get source -qq -o APT::Sandbox::User=root "$srcpkg=$version" >/dev/null)
fi

cd "$tree"

# Let int parameters (e.g. the deflate level) work without linking Integer,
# which pulls in the public-key code. Upstream's own switch in config_misc.h;
# changed in the tree so the installed headers agree with the library.
sed -i 's|^// \(#define CRYPTOPP_NO_ASSIGN_TO_INTEGER\)|\1|' config_misc.h
grep -q '^#define CRYPTOPP_NO_ASSIGN_TO_INTEGER' config_misc.h

# Explicit instantiations for the extern templates of the headers above
# (what dll.cpp does for all of them), plus IntToString<word64>, which
# upstream keeps in integer.cpp and exception messages need.
cat > support.cpp <<'CPP'
#define CRYPTOPP_MANUALLY_INSTANTIATE_TEMPLATES
#include "secblock.h"
#include "algparam.h"
#include "filters.h"

NAMESPACE_BEGIN(CryptoPP)
template <> std::string IntToString<word64>(word64 value, unsigned int base)
{
	const char letter = (base & (1U << 31)) ? 'A' : 'a';  // high bit: uppercase
	base &= ~(1U << 31);
	if (value == 0) return "0";
	std::string result;
	for (; value > 0; value /= base)
	{
		const unsigned int digit = static_cast<unsigned int>(value % base);
		result.insert(result.begin(), char(digit < 10 ? '0' + digit : letter - 10 + digit));
	}
	return result;
}
NAMESPACE_END
CPP

# The GNUmakefile supplies the ISA flags of the *_simd.cpp files; it needs
# DETECT_FEATURES=1 to do so for a partial build. Its default Windows XP
# target (_WIN32_WINNT=0x0501) is raised to Windows 10.
echo "cryptopp: compiling ${#objs[@]} objects"
make -j2 -s DETECT_FEATURES=1 CXX="$cxx" CXXFLAGS="-O2 -DNDEBUG" \
  CPPFLAGS="-D_WIN32_WINNT=0x0A00" "${objs[@]/%/.o}" >/dev/null

echo "cryptopp: installing into $prefix"
rm -rf "$prefix"
mkdir -p "$prefix/lib" "$prefix/include/cryptopp"
"$cross-ar" rc "$prefix/lib/libcryptopp.a" "${objs[@]/%/.o}"
"$cross-ranlib" "$prefix/lib/libcryptopp.a"
cp ./*.h "$prefix/include/cryptopp/"
echo "$stamp" > "$prefix/.stamp"
echo "cryptopp: done"
