# Compiler settings for every target, each next to its reason.

# Warnings are part of the build; CI turns them into errors so they never pile up.
add_compile_options(-Wall -Wextra -Wshadow -Wpedantic)
option(VANTRIX_WERROR "Treat warnings as errors" OFF)
if(VANTRIX_WERROR)
  add_compile_options(-Werror)
endif()

# Single-precision results and golden pictures must not depend on whether the
# compiler fuses a multiply and an add, nor on fast-math reassociation.
add_compile_options(-ffp-contract=off -fno-fast-math)

# AddressSanitizer + UndefinedBehaviorSanitizer build, run by the test command.
option(VANTRIX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VANTRIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Fuzz builds instrument the libraries too, so that libFuzzer sees coverage
# inside the parsers and not only in the small target files.
if(VANTRIX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Collects the sources of one layer folder, so that adding a file needs no CMake edit.
function(vantrix_sources out dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(${out} ${_src} PARENT_SCOPE)
endfunction()

# The core libraries, for the programs that use the whole stack
# (benchmarks, fuzz targets).
function(vantrix_core_libraries out)
  set(${out} vantrix_platform vantrix_engine vantrix_resample vantrix_scene vantrix_imaging PARENT_SCOPE)
endfunction()
