# The command line: one option table for the parser, --help and the manual.
add_library(vocamo_cli STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CommandLine.h ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp)
target_include_directories(vocamo_cli PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vocamo_cli PUBLIC Qt6::Core)
target_compile_definitions(vocamo_cli PRIVATE
    VOCAMO_VERSION="${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")

# Platform adapters of the main window: single instance, power, devices, ring.
add_library(vocamo_appsupport STATIC
    ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.h ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PowerMonitor.h ${CMAKE_CURRENT_LIST_DIR}/PowerMonitor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DeviceMonitor.h ${CMAKE_CURRENT_LIST_DIR}/DeviceMonitor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RingPlayer.h ${CMAKE_CURRENT_LIST_DIR}/RingPlayer.cpp)
target_include_directories(vocamo_appsupport PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vocamo_appsupport PUBLIC vocamo_cli Qt6::Core Qt6::Network Qt6::DBus Qt6::Multimedia PkgConfig::UDEV)

# The window's line states, apart from the widget (no Qt).
add_library(vocamo_linestates STATIC
    ${CMAKE_CURRENT_LIST_DIR}/LineStates.h ${CMAKE_CURRENT_LIST_DIR}/LineStates.cpp)
target_include_directories(vocamo_linestates PUBLIC ${PROJECT_SOURCE_DIR})

# The main window, split by concern, and the application object.
add_library(vocamo_window STATIC
    ${CMAKE_CURRENT_LIST_DIR}/VocamoDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/VocamoDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VocamoDlgStates.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VocamoDlgLists.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VocamoDlgSelection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VocamoDlgScreen.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VocamoDlgInput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VocamoDlgNotices.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VocamoDlgRequests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VocamoDlgHistory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecentList.h ${CMAKE_CURRENT_LIST_DIR}/RecentList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VocamoApp.h ${CMAKE_CURRENT_LIST_DIR}/VocamoApp.cpp)
target_include_directories(vocamo_window PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vocamo_window PUBLIC
    vocamo_linestates vocamo_appsupport vocamo_controller vocamo_skype vocamo_skin vocamo_notifier
    vocamo_phonebook_editor vocamo_about vocamo_history vocamo_desktop vocamo_core Qt6::Widgets)

add_executable(vocamo ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(vocamo PRIVATE vocamo_window vocamo_vcard)
set_target_properties(vocamo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
vocamo_copy_ring(vocamo)

# The manual page, written by the program from its option table.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/vocamo.1
    COMMAND vocamo --help-man > ${CMAKE_BINARY_DIR}/vocamo.1
    DEPENDS vocamo VERBATIM)
add_custom_target(vocamo_manpage ALL DEPENDS ${CMAKE_BINARY_DIR}/vocamo.1)
