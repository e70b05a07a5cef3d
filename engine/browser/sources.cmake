# The browser bridge: Chromium over its debugging pipe and the document model on top of it.
target_sources(engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/devtools_message.cpp
  ${CMAKE_CURRENT_LIST_DIR}/devtools_pipe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chromium_process.cpp
  ${CMAKE_CURRENT_LIST_DIR}/browser_identity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chromium_browser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chromium_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chromium_document.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_scripts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/renderer_memory.cpp)
