# Chapter link search: the view itself is listed in CMakeLists.txt; its helpers here.
target_sources(engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/search_result.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_page_info.cpp)
