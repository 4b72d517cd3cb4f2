list(APPEND THERMO4_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/DataLogger.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScopeDownloadProgress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableListModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TabularGraph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmList.cpp
)
