# vCard import and export of the phonebook (vocamo_vcard).
add_library(vocamo_vcard STATIC
    ${CMAKE_CURRENT_LIST_DIR}/VCard.h ${CMAKE_CURRENT_LIST_DIR}/VCard.cpp)
target_include_directories(vocamo_vcard PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vocamo_vcard PUBLIC vocamo_phonebook vocamo_profile)
