list(APPEND THERMO4_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CollectionCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SingleFileCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmOpenSave.cpp
)
