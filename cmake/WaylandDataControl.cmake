# The Wayland data-control protocols, through which a clipboard tool hears of
# every new selection without having the keyboard focus. Their descriptions
# come from Debian packages and are turned into C by wayland-scanner:
#   wlr-data-control-unstable-v1.xml  the wlroots protocol (sway, KWin); on
#       Debian 12 shipped by librust-wayland-protocols-dev, later also by
#       the wlr-protocols package;
#   ext-data-control-v1.xml           its successor in wayland-protocols 1.39
#       and later; used when the installed wayland-protocols has it.
# Sets CLIPSTOW_WAYLAND_FOUND and, when it is true, the static library
# clipstow_wayland_protocols (the generated code, linked with the Wayland
# client library) and CLIPSTOW_EXT_DATA_CONTROL (ON when the ext protocol is
# built in). Either XML file can be named with its cache variable.

pkg_check_modules(WAYLAND_CLIENT IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_SCANNER_FROM_PC wayland-scanner wayland_scanner)
find_program(WAYLAND_SCANNER NAMES wayland-scanner HINTS ${WAYLAND_SCANNER_FROM_PC})
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)

file(GLOB wlr_candidates
  /usr/share/wlr-protocols/unstable/wlr-data-control-unstable-v1.xml
  /usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable/wlr-data-control-unstable-v1.xml)
list(SORT wlr_candidates COMPARE NATURAL ORDER DESCENDING)
list(POP_FRONT wlr_candidates wlr_default)
set(CLIPSTOW_WLR_DATA_CONTROL_XML "${wlr_default}" CACHE FILEPATH
  "wlr-data-control-unstable-v1.xml")

set(ext_default "")
if(WAYLAND_PROTOCOLS_DIR AND
   EXISTS ${WAYLAND_PROTOCOLS_DIR}/staging/ext-data-control/ext-data-control-v1.xml)
  set(ext_default ${WAYLAND_PROTOCOLS_DIR}/staging/ext-data-control/ext-data-control-v1.xml)
endif()
set(CLIPSTOW_EXT_DATA_CONTROL_XML "${ext_default}" CACHE FILEPATH "ext-data-control-v1.xml")

set(CLIPSTOW_WAYLAND_FOUND OFF)
set(CLIPSTOW_EXT_DATA_CONTROL OFF)
if(WAYLAND_CLIENT_FOUND AND WAYLAND_SCANNER AND EXISTS "${CLIPSTOW_WLR_DATA_CONTROL_XML}")
  set(CLIPSTOW_WAYLAND_FOUND ON)
  set(protocols wlr-data-control-unstable-v1 ${CLIPSTOW_WLR_DATA_CONTROL_XML})
  if(EXISTS "${CLIPSTOW_EXT_DATA_CONTROL_XML}")
    set(CLIPSTOW_EXT_DATA_CONTROL ON)
    list(APPEND protocols ext-data-control-v1 ${CLIPSTOW_EXT_DATA_CONTROL_XML})
  endif()
  set(out ${CMAKE_BINARY_DIR}/wayland-protocols)
  set(generated)
  while(protocols)
    list(POP_FRONT protocols name xml)
    add_custom_command(
      OUTPUT ${out}/${name}-client-protocol.h ${out}/${name}-protocol.c
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
      COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${out}/${name}-client-protocol.h
      COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${out}/${name}-protocol.c
      DEPENDS ${xml} COMMENT "Generating the ${name} protocol code" VERBATIM)
    list(APPEND generated ${out}/${name}-client-protocol.h ${out}/${name}-protocol.c)
  endwhile()
  add_library(clipstow_wayland_protocols STATIC ${generated})
  target_include_directories(clipstow_wayland_protocols PUBLIC ${out})
  target_link_libraries(clipstow_wayland_protocols PUBLIC PkgConfig::WAYLAND_CLIENT)
  message(STATUS "Wayland data-control: wlr from ${CLIPSTOW_WLR_DATA_CONTROL_XML}; "
                 "ext ${CLIPSTOW_EXT_DATA_CONTROL}")
else()
  message(STATUS "Wayland data-control: not built (needs wayland-client, wayland-scanner "
                 "and wlr-data-control-unstable-v1.xml)")
endif()
