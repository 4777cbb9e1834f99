# Per-build compiler settings: sanitizers and the poisoned Windows headers for the
# native build, static runtime and ANSI stdio for the mingw build.
#
# No contraction of a multiply and an add into one rounding, in every build:
# the software renderer must draw the same frame natively and under Windows.
add_compile_options(-ffp-contract=off)
if(WIN32)
  add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0500 NOMINMAX)
  add_compile_options(-Wall -Wno-unknown-pragmas)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "i686|x86$")
    # Doubles in SSE registers, rounded at every step as in the native build:
    # x87 excess precision would make one random sequence or one comparison of
    # script numbers differ between the two builds and between runs.
    add_compile_options(-msse2 -mfpmath=sse)
  endif()
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(TW_SYSTEM_LIBS comctl32 comdlg32 gdi32 user32 kernel32 winmm ole32 oleaut32 uuid shell32 advapi32 ws2_32 ddraw dxguid psapi)
else()
  # Portable code must not include OS headers: these stand-ins stop the build.
  include_directories(BEFORE SYSTEM ${CMAKE_SOURCE_DIR}/cmake/poison)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
  if(TW_FUZZ)
    # Coverage for libFuzzer in every library the fuzz targets link.
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
  if(TW_SANITIZE)
    # GCC's "undefined" set leaves out float-to-integer overflow, which the
    # rasteriser and the grids must never do: ask for it by name.
    add_compile_options(-fsanitize=address,undefined,float-cast-overflow
                        -fno-sanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined,float-cast-overflow)
  endif()
  set(TW_SYSTEM_LIBS "")
endif()
