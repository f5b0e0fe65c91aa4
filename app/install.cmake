# install.cmake: what `cmake --install` puts where.
#
#   <prefix>/lib/vocamo/vocamo        the program
#   <prefix>/lib/vocamo/RING.WAV      its ring, read beside the program
#   <prefix>/bin/vocamo               a symbolic link to the program
#   <prefix>/share/applications/vocamo.desktop
#   <prefix>/share/icons/hicolor/{48x48,256x256}/apps/vocamo.png
#   <prefix>/share/vocamo/Bookmark.ini a sample phonebook
#
# The program finds RING.WAV in its own folder (the link is resolved). The
# phonebook Bookmark.ini lives there too while the user may write that
# folder; otherwise in ~/.config/vocamo, made on first start from
# the sample in <prefix>/share/vocamo/Bookmark.ini.

set(vocamo_install_dir lib/vocamo)

install(TARGETS vocamo RUNTIME DESTINATION ${vocamo_install_dir})
install(FILES ${VOCAMO_RING_WAV} DESTINATION ${vocamo_install_dir})
install(FILES ${PROJECT_SOURCE_DIR}/desktop/Bookmark.ini DESTINATION share/vocamo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icon/vocamo-256.png
        DESTINATION share/icons/hicolor/256x256/apps RENAME vocamo.png)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icon/174.png
        DESTINATION share/icons/hicolor/48x48/apps RENAME vocamo.png)

# The link and the desktop file are made at install time, so that both
# follow `cmake --install --prefix DIR` and DESTDIR.
install(CODE "
  set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  file(MAKE_DIRECTORY \"\${root}/bin\")
  file(REMOVE \"\${root}/bin/vocamo\")
  file(CREATE_LINK ../${vocamo_install_dir}/vocamo \"\${root}/bin/vocamo\" SYMBOLIC)
  message(STATUS \"Installing: \${root}/bin/vocamo -> ../${vocamo_install_dir}/vocamo\")

  # The menu starts the program by its full path: a per-user prefix's bin
  # need not be on the desktop's PATH.
  file(READ \"${PROJECT_SOURCE_DIR}/desktop/vocamo.desktop\" entry)
  string(REPLACE \"\\nExec=vocamo\\n\" \"\\nExec=\${CMAKE_INSTALL_PREFIX}/bin/vocamo\\n\" entry \"\${entry}\")
  file(MAKE_DIRECTORY \"\${root}/share/applications\")
  file(WRITE \"\${root}/share/applications/vocamo.desktop\" \"\${entry}\")
  message(STATUS \"Installing: \${root}/share/applications/vocamo.desktop\")
")
