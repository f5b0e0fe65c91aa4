# install.cmake: what `cmake --install` puts where.
#
#   <prefix>/lib/vocamo/vocamo        the program
#   <prefix>/bin/vocamo               a symbolic link to the program
#   <prefix>/share/vocamo/RING.WAV    its ring
#   <prefix>/share/vocamo/Bookmark.ini a sample phonebook
#   <prefix>/share/applications/vocamo.desktop   menu entry, tel: and callto: links
#   <prefix>/share/metainfo/io.github.vocamo.metainfo.xml
#   <prefix>/share/icons/hicolor/{16x16,...,512x512,scalable}/apps/vocamo.{png,svg}
#
# The program finds RING.WAV beside itself (a build, a portable copy) or in
# ../../share/vocamo from its own folder (the link is resolved). The
# phonebook Bookmark.ini lives beside the program while the user may write
# that folder; otherwise in ~/.config/vocamo, made on first start from the
# sample in <prefix>/share/vocamo/Bookmark.ini.

set(vocamo_install_dir lib/vocamo)

target_sources(vocamo_window PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DataFiles.h ${CMAKE_CURRENT_LIST_DIR}/DataFiles.cpp)

install(TARGETS vocamo RUNTIME DESTINATION ${vocamo_install_dir})
install(FILES ${VOCAMO_RING_WAV} ${PROJECT_SOURCE_DIR}/desktop/Bookmark.ini
        DESTINATION share/vocamo)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/io.github.vocamo.metainfo.xml
        DESTINATION share/metainfo)

# The 48 and 256 px icons are the program's own; the other sizes are
# rendered from vocamo.svg (resources/icon/README.md).
set(vocamo_icons ${PROJECT_SOURCE_DIR}/resources/icon)
foreach(size 16 22 24 32 48 64 128 256 512)
  set(icon ${vocamo_icons}/vocamo-${size}.png)
  if(size EQUAL 48)
    set(icon ${vocamo_icons}/174.png)
  endif()
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME vocamo.png)
endforeach()
install(FILES ${vocamo_icons}/vocamo.svg DESTINATION share/icons/hicolor/scalable/apps)

# The link and the menu entry are made at install time, so that both follow
# `cmake --install --prefix DIR` and DESTDIR.
install(CODE "
  set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  file(MAKE_DIRECTORY \"\${root}/bin\")
  file(REMOVE \"\${root}/bin/vocamo\")
  file(CREATE_LINK ../${vocamo_install_dir}/vocamo \"\${root}/bin/vocamo\" SYMBOLIC)
  message(STATUS \"Installing: \${root}/bin/vocamo -> ../${vocamo_install_dir}/vocamo\")
  set(vocamo_entry_source \"${PROJECT_SOURCE_DIR}/desktop/vocamo.desktop\")
")
install(SCRIPT ${PROJECT_SOURCE_DIR}/desktop/InstallEntry.cmake)

install(FILES ${CMAKE_BINARY_DIR}/vocamo.1 DESTINATION share/man/man1)
