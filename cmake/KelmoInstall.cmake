# Installed like a desktop program: the executable in bin/, both card libraries in <libdir>/kelmo/
# (the program looks there, relative to its own folder), the launcher, the AppStream metainfo, the
# icon in the hicolor theme and the manual page. `cmake --install build --prefix DIR`, or
# `make install PREFIX=DIR`. <libdir> is lib/, or lib/<multiarch>/ for the prefix /usr on Debian.
include(GNUInstallDirs)
install(TARGETS kelmo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS Btvid_32 Btvid_32-v4l2 LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/kelmo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/kelmo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/io.github.kelmo.Kelmo.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/kelmo.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
foreach(size 16x16 22x22 24x24 32x32 48x48 128x128)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/${size}/kelmo.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/doc/kelmo.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
