# The round flow, the board and its tiles, and the tile sets that come with the game.
target_sources(vexlo_client PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/roundflow.cpp ${CMAKE_CURRENT_LIST_DIR}/board.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tiles.h ${CMAKE_CURRENT_LIST_DIR}/tiles.cpp
  ${PROJECT_SOURCE_DIR}/resources/vexlotiles.qrc)

# Pictures of a solo game for the README (tools/gameshots.sh).
add_executable(vexlo-gameshots ${PROJECT_SOURCE_DIR}/tools/gameshots.cpp)
target_link_libraries(vexlo-gameshots PRIVATE vexlo_client vexlo_dictionary)
set_target_properties(vexlo-gameshots PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools EXCLUDE_FROM_ALL ON)
