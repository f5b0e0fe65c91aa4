# The taskbar notifier popup (vocamo_notifier).
add_library(vocamo_notifier STATIC
    TaskbarNotifier.h TaskbarNotifier.cpp)
# The popup skins :/bmp/129.png and :/bmp/130.png come with the resources.
target_link_libraries(vocamo_notifier PUBLIC vocamo_resources vocamo_core Qt6::Widgets)
