# About box and version reader (vocamo_about).

# The version record: the project version as four numbers, in the resources
# at :/version/record.
set(vocamo_version_dir ${CMAKE_CURRENT_BINARY_DIR}/version)
file(CONFIGURE OUTPUT ${vocamo_version_dir}/record
     CONTENT "@VOCAMO_VERSION_RECORD@\n" @ONLY)
file(CONFIGURE OUTPUT ${vocamo_version_dir}/vocamo_version.qrc
     CONTENT [=[<!DOCTYPE RCC>
<RCC version="1.0">
  <qresource prefix="/version">
    <file alias="record">record</file>
  </qresource>
</RCC>
]=])

add_library(vocamo_about STATIC
    AboutDlg.h AboutDlg.cpp
    VersionReader.h VersionReader.cpp
    ${vocamo_version_dir}/vocamo_version.qrc)
# The icon :/icon/174.png comes from vocamo_resources.
target_link_libraries(vocamo_about PUBLIC vocamo_core vocamo_resources Qt6::Widgets)
