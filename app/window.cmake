# Platform adapters of the main window: single instance, power, devices, ring.
add_library(vocamo_appsupport STATIC
    ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.h ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PowerMonitor.h ${CMAKE_CURRENT_LIST_DIR}/PowerMonitor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DeviceMonitor.h ${CMAKE_CURRENT_LIST_DIR}/DeviceMonitor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RingPlayer.h ${CMAKE_CURRENT_LIST_DIR}/RingPlayer.cpp)
target_include_directories(vocamo_appsupport PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vocamo_appsupport PUBLIC Qt6::Core Qt6::Network Qt6::DBus Qt6::Multimedia PkgConfig::UDEV)
