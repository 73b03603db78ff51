# Hardening for every build, the flags Debian builds its own packages with: a stack protector,
# position-independent executables, relocations made read-only and bound at start, and checked
# variants of the C library's memory and string calls where the sizes are known at compile time.

include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong)
add_link_options(LINKER:-z,relro LINKER:-z,now)

# _FORTIFY_SOURCE works on optimised code only (glibc warns and ignores it otherwise), and under
# AddressSanitizer it would hide the calls the sanitizer checks. -U first: some compilers define it.
if(NOT TOVRA_SANITIZE)
  set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  add_compile_options("$<${optimised}:-U_FORTIFY_SOURCE>" "$<${optimised}:-D_FORTIFY_SOURCE=2>")
  unset(optimised)
endif()
