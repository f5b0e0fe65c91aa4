# TAPI client: line device, event thread, phone device.
add_library(vocamo_telephony STATIC
    ${CMAKE_CURRENT_LIST_DIR}/TapiClient.h ${CMAKE_CURRENT_LIST_DIR}/TapiClient.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TapiEventThread.h ${CMAKE_CURRENT_LIST_DIR}/TapiEventThread.cpp)
target_include_directories(vocamo_telephony PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vocamo_telephony PUBLIC vocamo_tapi vocamo_core vocamo_tapinames)
