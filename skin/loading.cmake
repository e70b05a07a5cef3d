# Skin and language loading: where the skin and language files lie and how texts are looked up.
# No drawing: the front-end core and the drawing framework both build on it.
add_library(skin_loading STATIC ${CMAKE_CURRENT_LIST_DIR}/skin_loader.cpp)
target_link_libraries(skin_loading PUBLIC common Qt6::Core)
