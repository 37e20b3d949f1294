# The settings file: its reader and writer and the game's settings model.
# Qt Core only, so it is tested without a display.
add_library(vexlo_settings STATIC
  ${CMAKE_CURRENT_LIST_DIR}/inifile.h ${CMAKE_CURRENT_LIST_DIR}/inifile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settingsmodel.h ${CMAKE_CURRENT_LIST_DIR}/settingsmodel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/networkchoices.h ${CMAKE_CURRENT_LIST_DIR}/networkchoices.cpp)
target_include_directories(vexlo_settings PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexlo_settings PUBLIC Qt6::Core)
