# frontend_core: everything of the front-end that needs no widgets, so it can be tested and
# reused without a display.
add_library(frontend_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/setting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_rule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/task_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/task_event_observer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/task_store.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_launcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/link_search_client.cpp
  ${CMAKE_CURRENT_LIST_DIR}/task_manager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/task_end_notice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_endpoint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/single_instance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folivex_app.cpp)
target_link_libraries(frontend_core PUBLIC common archive platform skin_timer skin_loading Qt6::Core)
