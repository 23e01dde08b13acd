# Third-party libraries, installed by scripts/setup.sh.

# Crypto++: Debian's package natively; for Windows the static library that
# scripts/build_cryptopp_mingw.sh builds from Debian's source of the same
# version.
add_library(vt_cryptopp INTERFACE)
if(WIN32)
  set(VT_DEPS_DIR "${PROJECT_SOURCE_DIR}/build/deps" CACHE PATH "Where setup puts built dependencies")
  set(cryptopp_root ${VT_DEPS_DIR}/cryptopp-mingw)
  if(NOT EXISTS ${cryptopp_root}/lib/libcryptopp.a)
    message(FATAL_ERROR "Crypto++ for MinGW is missing in ${cryptopp_root}: run scripts/setup.sh")
  endif()
  target_include_directories(vt_cryptopp SYSTEM INTERFACE ${cryptopp_root}/include)
  target_link_libraries(vt_cryptopp INTERFACE ${cryptopp_root}/lib/libcryptopp.a)
else()
  find_path(CRYPTOPP_INCLUDE_DIR cryptopp/twofish.h REQUIRED)
  find_library(CRYPTOPP_LIBRARY NAMES cryptopp crypto++ REQUIRED)
  target_include_directories(vt_cryptopp SYSTEM INTERFACE ${CRYPTOPP_INCLUDE_DIR})
  target_link_libraries(vt_cryptopp INTERFACE ${CRYPTOPP_LIBRARY})
endif()
