# Compiler flags, set on each of the project's own targets so that a project that includes
# Kestrel keeps its own.

# kestrel_target_flags(<target>): the warnings, and the sanitizers of a sanitized or fuzz build.
function(kestrel_target_flags target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(KESTREL_SANITIZE)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(KESTREL_FUZZ)
    target_compile_options(${target} PRIVATE
      -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# kestrel_module_flags(<target>): for a module the host loads and must unmap again. GCC makes
# some inline statics GNU unique symbols, which would keep the library mapped after dlclose.
function(kestrel_module_flags target)
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
endfunction()
