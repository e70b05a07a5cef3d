# Page monitoring and page images: the monitor view, page-jump strategies, image choice,
# fetching and safe decoding.
target_sources(engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/page_watch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_jump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_jump_option.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_jump_next_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_jump_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_jump_numbers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_jump_controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_jump_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chapter_walk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_decode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_fetch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_trouble.cpp
  ${CMAKE_CURRENT_LIST_DIR}/long_strip.cpp)
target_link_libraries(engine PRIVATE PkgConfig::CURL)
