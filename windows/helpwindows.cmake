# The lobby downloader, the help window and the about window, with the help pages,
# the licence texts and the pictures they show built in. Qt Widgets and Network.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets Network)

qt6_add_resources(vexlo_helpwindows_rc
  ${PROJECT_SOURCE_DIR}/resources/help/help.qrc
  ${PROJECT_SOURCE_DIR}/resources/pictures/helppictures.qrc)

add_library(vexlo_helpwindows STATIC
  ${CMAKE_CURRENT_LIST_DIR}/turl.h ${CMAKE_CURRENT_LIST_DIR}/turl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/helpkit.h ${CMAKE_CURRENT_LIST_DIR}/helpkit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tdownload.h ${CMAKE_CURRENT_LIST_DIR}/tdownload.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thelp.h ${CMAKE_CURRENT_LIST_DIR}/thelp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tabout.h ${CMAKE_CURRENT_LIST_DIR}/tabout.cpp
  ${vexlo_helpwindows_rc})
target_include_directories(vexlo_helpwindows PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexlo_helpwindows PUBLIC vexlo_protocol Qt6::Widgets Qt6::Network)

# Renders the three windows into PNGs for docs/screenshots (scripts/screenshots-helpwindows).
add_executable(vexlo-helpwindowshots ${PROJECT_SOURCE_DIR}/tools/helpwindowshots.cpp)
target_link_libraries(vexlo-helpwindowshots PRIVATE vexlo_helpwindows)
set_target_properties(vexlo-helpwindowshots PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools EXCLUDE_FROM_ALL ON)
