# Call controller: the modem line's call states (vocamo_controller).
add_library(vocamo_controller STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CallController.h ${CMAKE_CURRENT_LIST_DIR}/CallController.cpp)
target_include_directories(vocamo_controller PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vocamo_controller PUBLIC
    vocamo_telephony vocamo_phonebook vocamo_tapinames vocamo_core)
