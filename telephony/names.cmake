add_library(vocamo_tapinames STATIC
    TapiNames.h TapiNames.cpp
    Trace.h Trace.cpp)
target_include_directories(vocamo_tapinames PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vocamo_tapinames PUBLIC Qt6::Core)
