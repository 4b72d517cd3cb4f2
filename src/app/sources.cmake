list(APPEND THERMO4_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AlarmWatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DesktopNotifier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LivePublishing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartFailure.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmAbout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmAlarmEvents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMainAlarms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmMainCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmSetupAlarms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TileLayout.cpp
)

# The help page and the default graph template must sit beside the executable
# ("the program's folder"). Copied at configure time; an edit re-runs the copy.
configure_file(${PROJECT_SOURCE_DIR}/resources/thermo4HELP.htm
  ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/thermo4HELP.htm COPYONLY)
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/template/graph.ghf)
  configure_file(${PROJECT_SOURCE_DIR}/resources/template/graph.ghf
    ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/template/graph.ghf COPYONLY)
endif()

set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  PROPERTIES COMPILE_DEFINITIONS THERMO4_VERSION="${PROJECT_VERSION}")
