# The taskbar notifier popup (vocamo_notifier).
add_library(vocamo_notifier STATIC
    TaskbarNotifier.h TaskbarNotifier.cpp)
target_link_libraries(vocamo_notifier PUBLIC vocamo_core Qt6::Widgets)
# The popup skins :/bmp/129.png and :/bmp/130.png come with the resources;
# until those are built in, the popup draws stand-ins of the same size.
if(TARGET vocamo_resources)
  target_link_libraries(vocamo_notifier PUBLIC vocamo_resources)
else()
  target_compile_definitions(vocamo_notifier PRIVATE VOCAMO_NOTIFIER_PLACEHOLDER_SKINS)
endif()
