# Installing and packaging the program as a Linux distribution would:
#
#   bin/mousecfg                                the program
#   share/mousecfg/                             DefaultProfile.bin, skin/, lang/, ConfigTemplate/
#   libexec/mousecfg/OSD                        the on-screen display
#   lib/udev/rules.d/70-mousecfg.rules          the seated user may open the mouse
#   share/applications/<id>.desktop             the launcher (started through the session bus)
#   share/dbus-1/services/<id>.service          how the bus starts it
#   share/dbus-1/interfaces/org.example.mousecfg.Mouse.xml   its interface on the bus
#   share/metainfo/<id>.metainfo.xml            what software centres show, and the mice it serves
#   share/icons/hicolor/<n>x<n>/apps/mousecfg.png
#   share/man/man1/mousecfg.1.gz, share/doc/mousecfg/{copyright,changelog.gz}
#
# The program finds share/mousecfg and libexec/mousecfg relative to its own
# folder, so the tree can be moved as a whole (DESTDIR, another prefix).
include(GNUInstallDirs)

set(MOUSECFG_APP_ID "org.example.mousecfg" CACHE STRING "AppStream component id (reverse domain of the homepage)")
set(MOUSECFG_HOMEPAGE "https://mousecfg.example.org" CACHE STRING "Project homepage; screenshots lie under <homepage>/docs/")
set(MOUSECFG_MAINTAINER "mousecfg developers <maintainers@mousecfg.example.org>" CACHE STRING "Package maintainer")
set(MOUSECFG_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX expression of the project's licence")
set(MOUSECFG_LICENSE_TEXT "All rights reserved." CACHE STRING "Licence text for the package's copyright file")
set(MOUSECFG_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "udev rules folder, relative to the prefix")

set(mousecfg_datadir ${CMAKE_INSTALL_DATADIR}/mousecfg)
set(mousecfg_libexecdir ${CMAKE_INSTALL_LIBEXECDIR}/mousecfg)

# Where the program looks, relative to bin/.
file(RELATIVE_PATH data_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/mousecfg)
file(RELATIVE_PATH libexec_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/mousecfg)
target_compile_definitions(mousecfg_profile PRIVATE
  MOUSECFG_DATA_FROM_BIN="${data_from_bin}" MOUSECFG_LIBEXEC_FROM_BIN="${libexec_from_bin}")

# Never group- or world-writable, whatever the umask of the one installing.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS mousecfg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS mousecfg_osd_program RUNTIME DESTINATION ${mousecfg_libexecdir})
# A stripped install (the package) also drops the compiler's notes, as
# Debian's own tools do.
foreach(installed ${CMAKE_INSTALL_BINDIR}/mousecfg ${mousecfg_libexecdir}/OSD)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment --remove-section=.note
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${installed}\")
  endif()")
endforeach()

install(FILES ${MOUSECFG_APPDIR}/DefaultProfile.bin DESTINATION ${mousecfg_datadir})
install(FILES ${MOUSECFG_APPDIR}/ConfigTemplate/Config.ini DESTINATION ${mousecfg_datadir}/ConfigTemplate)
install(DIRECTORY ${MOUSECFG_APPDIR}/lang DESTINATION ${mousecfg_datadir} FILES_MATCHING PATTERN "*.qm")
# The skin without the desktop icons, which go into the icon theme.
install(DIRECTORY ${MOUSECFG_SKIN_DIR} DESTINATION ${mousecfg_datadir} PATTERN appicons EXCLUDE)
foreach(side 16 22 24 32 48 64 128 256)
  install(FILES ${MOUSECFG_SKIN_DIR}/appicons/${side}x${side}/mousecfg.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps)
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/resources/linux/70-mousecfg.rules DESTINATION ${MOUSECFG_UDEV_RULES_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/linux/mousecfg.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${MOUSECFG_APP_ID}.desktop)

set(linux_out ${CMAKE_BINARY_DIR}/linux)
# The running program on the session bus: started through the bus by the
# launcher (DBusActivatable), and its interface for others to read.
configure_file(${CMAKE_SOURCE_DIR}/resources/linux/dbus/org.example.mousecfg.service.in
               ${linux_out}/${MOUSECFG_APP_ID}.service @ONLY)
install(FILES ${linux_out}/${MOUSECFG_APP_ID}.service DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/services)
install(FILES ${CMAKE_SOURCE_DIR}/resources/linux/dbus/org.example.mousecfg.Mouse.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/interfaces)
configure_file(${CMAKE_SOURCE_DIR}/resources/linux/mousecfg.metainfo.xml.in
               ${linux_out}/${MOUSECFG_APP_ID}.metainfo.xml @ONLY)
install(FILES ${linux_out}/${MOUSECFG_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual page and package documentation, compressed as Debian wants them
# (gzip -9n: no name or time stamp, so the package builds reproducibly).
set(MOUSECFG_UDEV_RULES_FULL_DIR ${CMAKE_INSTALL_PREFIX}/${MOUSECFG_UDEV_RULES_DIR})
configure_file(${CMAKE_SOURCE_DIR}/resources/linux/mousecfg.1 ${linux_out}/mousecfg.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/linux/debian/changelog ${linux_out}/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/linux/debian/copyright ${linux_out}/copyright @ONLY)
add_custom_command(OUTPUT ${linux_out}/mousecfg.1.gz ${linux_out}/changelog.gz
  COMMAND gzip -9nc ${linux_out}/mousecfg.1 > ${linux_out}/mousecfg.1.gz
  COMMAND gzip -9nc ${linux_out}/changelog > ${linux_out}/changelog.gz
  DEPENDS ${linux_out}/mousecfg.1 ${linux_out}/changelog
  COMMENT "Compressing the manual page and the changelog")
add_custom_target(mousecfg_docs ALL DEPENDS ${linux_out}/mousecfg.1.gz ${linux_out}/changelog.gz)
add_dependencies(mousecfg mousecfg_docs)
install(FILES ${linux_out}/mousecfg.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${linux_out}/copyright ${linux_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# cpack -G DEB: a Debian package with its library dependencies found by
# dpkg-shlibdeps and maintainer scripts that reload the udev rules.
set(CPACK_PACKAGE_NAME mousecfg)
set(CPACK_PACKAGE_VENDOR "The mousecfg developers")
set(CPACK_PACKAGE_CONTACT "${MOUSECFG_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration utility for wireless and cabled gaming mice")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${MOUSECFG_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Qt Wayland platform plugin lets the program run as a Wayland client, as
# Qt starts it on a Wayland session other than GNOME's (Plasma).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, qtwayland5")
# The long description only: CPack puts the summary first and indents the lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "mousecfg sets the DPI stages, report rate, sensor options, button
assignments, macros and lighting of a family of gaming mice, on five
profiles kept in the mouse and a library of profile files. It shows the
battery of the wireless mouse in its window and the tray.

A udev rule lets the user at the seat open the mouse without
administrator rights.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_SOURCE_DIR}/resources/linux/debian/postinst ${CMAKE_SOURCE_DIR}/resources/linux/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)
