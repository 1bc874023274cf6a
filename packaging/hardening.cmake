# Debian's hardening flags, for the programs that ship: the .deb's and the
# tarball's. They come from dpkg-buildflags with every hardening feature on,
# as a Debian package's build takes them: fortified functions, the stack
# protector, relro and bindnow, and position-independent code for a
# dynamically linked program. CMake reads no CPPFLAGS, where _FORTIFY_SOURCE
# comes, so each set is handed on here.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  message(FATAL_ERROR "hardened programs need Debian's dpkg-dev package: apt-get install dpkg-dev")
endif()

# The flags dpkg-buildflags gives for `name`, less those the project sets
# its own way: its optimization level, which the benchmark measured; no -g,
# since the packages strip what it adds; and no prefix map, which names the
# folder dpkg-buildflags ran in, while no path reaches the programs without one.
function(hardening_flags name result)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
      ${DPKG_BUILDFLAGS} --get ${name}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^(-O.*|-g|-ffile-prefix-map=.*)$")
  set(${result} ${flags} PARENT_SCOPE)
endfunction()

hardening_flags(CPPFLAGS cppflags)
hardening_flags(CXXFLAGS cxxflags)
hardening_flags(LDFLAGS ldflags)
add_compile_options(${cppflags} ${cxxflags})
add_link_options(${ldflags})
if(NOT LOCKPROBE_STATIC)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
endif()

# Once linked, a program loses its .comment section, the compilers' names
# and versions, as Debian's packages are stripped of it.
list(APPEND CMAKE_CXX_LINK_EXECUTABLE "${CMAKE_OBJCOPY} --remove-section=.comment <TARGET>")
