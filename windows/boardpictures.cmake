# The board's drawn pictures.
target_sources(vexlo_windows PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/boardpictures.h ${CMAKE_CURRENT_LIST_DIR}/boardpictures.cpp)
