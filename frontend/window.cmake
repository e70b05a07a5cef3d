# frontend_window: the main window, its task list and its skin control factory; and the
# Folivex program, which lands in the program folder beside the engine.
add_library(frontend_window STATIC
  ${CMAKE_CURRENT_LIST_DIR}/comic_ctrl_factory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wnd_task_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folivex_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wnd_task_list.h
  ${CMAKE_CURRENT_LIST_DIR}/folivex_dlg.h)
target_link_libraries(frontend_window PUBLIC frontend_dialogs skin)

add_executable(Folivex ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(Folivex PRIVATE frontend_window)
add_dependencies(Folivex app_data)

# The generator of the default skin's pictures (run by hand: skin_art dist/skin/default).
add_executable(skin_art EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/skin_art/skin_art.cpp)
target_link_libraries(skin_art PRIVATE Qt6::Widgets PkgConfig::MAGICK)
set_target_properties(skin_art PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
