# Installed like a desktop program: the executable in bin/, both card libraries in lib/kelmo/ (the
# program looks there, relative to its own folder), the launcher, the icon in the hicolor theme and
# the manual page. `cmake --install build --prefix DIR`, or `make install PREFIX=DIR`.
install(TARGETS kelmo RUNTIME DESTINATION bin)
install(TARGETS Btvid_32 Btvid_32-v4l2 LIBRARY DESTINATION lib/kelmo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/kelmo.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/kelmo.png DESTINATION share/icons/hicolor/64x64/apps)
foreach(size 16x16 22x22 24x24 32x32 48x48 128x128)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/${size}/kelmo.png
          DESTINATION share/icons/hicolor/${size}/apps)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/doc/kelmo.1 DESTINATION share/man/man1)
