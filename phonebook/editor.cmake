# The phonebook editor dialog (vocamo_phonebook_editor). Its bitmaps
# :/bmp/162.png .. :/bmp/173.png and icon :/icon/174.png come from
# vocamo_resources.
add_library(vocamo_phonebook_editor STATIC
    BookmarkDlg.h BookmarkDlg.cpp
    EditorBitmaps.h EditorBitmaps.cpp
    PictureButton.h PictureButton.cpp)
target_link_libraries(vocamo_phonebook_editor
    PUBLIC vocamo_phonebook vocamo_core vocamo_resources Qt6::Widgets)
