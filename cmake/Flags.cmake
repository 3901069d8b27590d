# Compiler and linker settings per build.
#   kp_module_code(target): code that goes into the module — small, no exceptions, no RTTI.
#   Host builds run everything under AddressSanitizer and UndefinedBehaviorSanitizer (the fuzz build
#   with libFuzzer's coverage too); the benchmark build is optimised and runs without them.

if(WIN32)
  # Every Windows program links its runtime statically: a test prefix has no mingw DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
elseif(NOT KP_BENCH)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
  if(KP_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()

function(kp_module_code target)
  # No unwind tables either: nothing in the module unwinds, and they would take a tenth of its size.
  # No -fdata-sections: the mingw compiler then puts zero-initialised variables into .data$NAME with
  # their zeros stored, so the copy buffer and every path buffer took room in the file (28 KiB).
  target_compile_options(${target} PRIVATE -Os -fno-exceptions -fno-rtti -ffunction-sections
                                           -fno-asynchronous-unwind-tables -fno-unwind-tables)
endfunction()
