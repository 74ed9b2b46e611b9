# Debian's hardening, in every build and so in the package: fortified C
# library functions, the stack protector, format-string checks, and
# relocations made read-only and bound at start (RELRO, BIND_NOW). The flags
# are those dpkg-buildflags gives with hardening=+all, less its optimisation,
# debug and path-mapping flags, which the build type and the build folder
# decide; without dpkg-buildflags, the same flags as Debian 12 gives them.
set(hardening_compile -fstack-protector-strong -Wformat -Werror=format-security)
set(hardening_defines _FORTIFY_SOURCE=2)
set(hardening_link -Wl,-z,relro -Wl,-z,now)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(DPKG_BUILDFLAGS)
  set(hardening_compile)
  set(hardening_defines)
  set(hardening_link)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
        ${DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    foreach(flag ${flags})
      if(flag MATCHES "^-D(_FORTIFY_SOURCE=.*)$")
        list(APPEND hardening_defines ${CMAKE_MATCH_1})
      elseif(flag MATCHES "^-(fstack-protector|fstack-clash-protection|fcf-protection|Wformat|Werror=format-security)")
        list(APPEND hardening_compile ${flag})
      elseif(flag MATCHES "^-Wl,-z,")
        list(APPEND hardening_link ${flag})
      endif()
    endforeach()
  endforeach()
endif()
add_compile_options(${hardening_compile})
# The fortified functions need the optimiser; without it the C library
# warns in every file.
foreach(definition ${hardening_defines})
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:${definition}>)
endforeach()
add_link_options(${hardening_link})
message(STATUS "Hardening: ${hardening_compile} ${hardening_defines} ${hardening_link}")
