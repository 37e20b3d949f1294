# The phrase-button editor (Tphrases), a window of its own over the settings file.
add_library(vexlo_phrases STATIC
  ${CMAKE_CURRENT_LIST_DIR}/tphrases.h ${CMAKE_CURRENT_LIST_DIR}/tphrases.cpp)
target_include_directories(vexlo_phrases PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexlo_phrases PUBLIC vexlo_settings vexlo_protocol Qt6::Widgets)

# Shows the editor filled with the default phrases, for looking at it
# (tools/shot-phrases takes the screenshot). Not part of the game.
add_executable(phrases-preview EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/tools/phrases-preview.cpp)
target_link_libraries(phrases-preview PRIVATE vexlo_phrases)
set_target_properties(phrases-preview PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
