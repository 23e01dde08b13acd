# Compiler settings shared by every target of the project.

option(VT_SANITIZE "Build native code with AddressSanitizer and UndefinedBehaviorSanitizer" ON)

add_library(vt_options INTERFACE)
target_include_directories(vt_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(vt_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Werror)

if(WIN32)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_compile_definitions(vt_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  # Only system DLLs at run time.
  target_link_options(vt_options INTERFACE -static -static-libgcc -static-libstdc++)
  # Tests run through Wine in a private environment kept in the build folder.
  set(VT_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine_env.sh run ${VT_WINE_STATE})
elseif(VT_SANITIZE)
  set(VT_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # Coverage for the fuzz targets, which link the same libraries.
    list(APPEND VT_SANITIZER_FLAGS -fsanitize=fuzzer-no-link)
  endif()
  target_compile_options(vt_options INTERFACE ${VT_SANITIZER_FLAGS})
  target_link_options(vt_options INTERFACE ${VT_SANITIZER_FLAGS})
endif()

find_package(Threads REQUIRED)
target_link_libraries(vt_options INTERFACE Threads::Threads)

# vt_add_library(name SOURCES... [WIN32_SOURCES ...] [LINKS ...])
function(vt_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;WIN32_SOURCES;LINKS" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(WIN32)
    list(APPEND sources ${ARG_WIN32_SOURCES})
  endif()
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC vt_options ${ARG_LINKS})
endfunction()
