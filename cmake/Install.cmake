# What `cmake --install` puts under the prefix, and the Debian package cpack builds from it.
include(GNUInstallDirs)

set(MORVANE_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/morvane")
# The player looks for installed data relative to its own path, so the tree can move (a staging
# root, a package) and still be found.
file(RELATIVE_PATH MORVANE_RELATIVE_DATA_DIR "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}"
     "${CMAKE_INSTALL_PREFIX}/${MORVANE_INSTALL_DATADIR}")
target_compile_definitions(morvane PRIVATE MORVANE_RELATIVE_DATA_DIR="${MORVANE_RELATIVE_DATA_DIR}")

install(TARGETS morvane morvane-capture morvane-compose morvane-dat morvane-pack morvane-standin
        RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${PROJECT_BINARY_DIR}/morvane.dat" "${PROJECT_BINARY_DIR}/morvane.xm"
        DESTINATION "${MORVANE_INSTALL_DATADIR}")
install(FILES packaging/morvane.desktop DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES packaging/morvane.svg DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")

# Man pages, compressed as Debian wants them.
set(MORVANE_MAN_PAGES morvane.6 morvane-capture.1 morvane-compose.1 morvane-dat.1 morvane-pack.1 morvane-standin.1)
foreach(page IN LISTS MORVANE_MAN_PAGES)
  string(REGEX MATCH "[0-9]$" section "${page}")
  set(compressed "${PROJECT_BINARY_DIR}/man/${page}.gz")
  add_custom_command(OUTPUT "${compressed}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_BINARY_DIR}/man"
    COMMAND gzip -9nc "${PROJECT_SOURCE_DIR}/packaging/man/${page}" > "${compressed}"
    DEPENDS "${PROJECT_SOURCE_DIR}/packaging/man/${page}"
    VERBATIM)
  list(APPEND MORVANE_COMPRESSED_MAN "${compressed}")
  install(FILES "${compressed}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man${section}")
endforeach()
add_custom_target(morvane_man ALL DEPENDS ${MORVANE_COMPRESSED_MAN})

set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VENDOR "morvane")
set(CPACK_PACKAGE_CONTACT "morvane maintainers <morvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time software-rendered audiovisual show")
set(CPACK_PACKAGE_DESCRIPTION "Seven scenes rendered in software in step with an XM module, with the tools that\
 made its stand-in data, inspect it and capture the show to frames, audio and video.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
find_program(MORVANE_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(MORVANE_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libc6, libstdc++6, libgcc-s1, libsdl2-2.0-0, libopenmpt0, libpng16-16, libx11-6, libdeflate0, libxxhash0")
endif()
include(CPack)
