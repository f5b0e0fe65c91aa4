# Images, elements and layout, composition (vocamo_skin).
add_library(vocamo_skin STATIC
    ${CMAKE_CURRENT_LIST_DIR}/SkinRect.h
    ${CMAKE_CURRENT_LIST_DIR}/SkinImage.h ${CMAKE_CURRENT_LIST_DIR}/SkinImage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinText.h ${CMAKE_CURRENT_LIST_DIR}/SkinText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinItem.h ${CMAKE_CURRENT_LIST_DIR}/SkinItem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinButton.h ${CMAKE_CURRENT_LIST_DIR}/SkinButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ContactItem.h ${CMAKE_CURRENT_LIST_DIR}/ContactItem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinItemList.h ${CMAKE_CURRENT_LIST_DIR}/SkinItemList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Skin.h ${CMAKE_CURRENT_LIST_DIR}/Skin.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Composition.h ${CMAKE_CURRENT_LIST_DIR}/Composition.cpp)
target_include_directories(vocamo_skin PUBLIC ${PROJECT_SOURCE_DIR})
# The friend and bookmark records are header-only; nothing of theirs is linked.
target_link_libraries(vocamo_skin PUBLIC vocamo_resources Qt6::Gui)
