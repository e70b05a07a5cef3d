# The drawing framework of the skin: panels from descriptions, skin controls, the list window,
# the skinned window host and the tray icon.
set(SKIN_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(skin STATIC
  ${SKIN_DIR}/xml_attributes.cpp ${SKIN_DIR}/attribute_position.cpp
  ${SKIN_DIR}/attribute_draw_filter.cpp ${SKIN_DIR}/attribute_fill.cpp
  ${SKIN_DIR}/skin_events.cpp ${SKIN_DIR}/panel_ctrl.cpp ${SKIN_DIR}/panel.cpp
  ${SKIN_DIR}/panel_ctrl_factory.cpp ${SKIN_DIR}/track_mouse_hover.cpp ${SKIN_DIR}/tool_tip.cpp
  ${SKIN_DIR}/button_base.cpp ${SKIN_DIR}/buttons.cpp ${SKIN_DIR}/list_window.cpp
  ${SKIN_DIR}/panel_window.cpp ${SKIN_DIR}/tray_icon.cpp
  ${SKIN_DIR}/button_base.h ${SKIN_DIR}/button_3image.h ${SKIN_DIR}/button_check.h
  ${SKIN_DIR}/button_animation.h ${SKIN_DIR}/panel.h ${SKIN_DIR}/list_window.h)
target_link_libraries(skin PUBLIC image skin_timer skin_loading Qt6::Widgets Qt6::Xml)
