# The round flow, the board and its tiles, and the tile sets that come with the game.
target_sources(vexlo_client PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/roundflow.cpp ${CMAKE_CURRENT_LIST_DIR}/board.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tiles.h ${CMAKE_CURRENT_LIST_DIR}/tiles.cpp
  ${PROJECT_SOURCE_DIR}/resources/vexlotiles.qrc)
