# Compiler flags shared by every target: warnings, sanitizers, and the rule that lets a plug-in unload.

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wno-missing-field-initializers)
if(HERALDIX_WERROR)
  add_compile_options(-Werror)
endif()

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Without this, g++ marks some statics STB_GNU_UNIQUE and dlclose never unmaps the plug-in, so a
  # reload would keep the old instance's state.
  add_compile_options(-fno-gnu-unique)
endif()

if(HERALDIX_SANITIZE)
  # vptr checks compare type identities across shared objects, which hidden visibility splits on purpose.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize=vptr -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize=vptr)
endif()

# Shared libraries must resolve every symbol at link time, as a plug-in must against its host. With clang
# the sanitizer and fuzzer runtimes live in the executable alone, and shared libraries find them there at
# load time.
if(NOT (CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND (HERALDIX_SANITIZE OR HERALDIX_FUZZ)))
  add_link_options(LINKER:--no-undefined)
endif()

if(HERALDIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "HERALDIX_FUZZ needs clang (libFuzzer): configure with the fuzz preset")
  endif()
  # Coverage feedback from every library, so the fuzzer sees the paths it opens in the plug-in too.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
