# The phonebook editor dialog (vocamo_phonebook_editor).
add_library(vocamo_phonebook_editor STATIC
    BookmarkDlg.h BookmarkDlg.cpp
    EditorBitmaps.h EditorBitmaps.cpp
    PictureButton.h PictureButton.cpp)
target_link_libraries(vocamo_phonebook_editor PUBLIC vocamo_phonebook vocamo_core Qt6::Widgets)
# The editor's bitmaps :/bmp/162.png .. :/bmp/173.png and the icon
# :/icon/174.png come with the resources; until those are built in, the
# editor draws stand-ins of the same sizes.
if(TARGET vocamo_resources)
  target_link_libraries(vocamo_phonebook_editor PUBLIC vocamo_resources)
else()
  target_compile_definitions(vocamo_phonebook_editor PRIVATE VOCAMO_EDITOR_PLACEHOLDER_BITMAPS)
endif()
