# frontend_dialogs: the dialogs and small windows the main window opens and hosts (add task,
# search links, settings, drop window, title, news strip), built on Qt Widgets and the skin
# framework (the title, the news strip and the tip icons are skin buttons).
add_library(frontend_dialogs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/site_address.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dlg_folder_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dlg_balloon_tip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dlg_folder_browser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wnd_tip_button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tip_edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dlg_add_task.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dlg_search_link.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dlg_setting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wnd_comic_link_drop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wnd_drop_link.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wnd_title.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wnd_ad.cpp)
target_link_libraries(frontend_dialogs PUBLIC frontend_core image net skin Qt6::Widgets)
