list(APPEND THERMO4_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/GraphSetup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JournalRecovery.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RealTimeRecording.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveGraph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmGraph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmGraphAlarms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmGraphRecording.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmSetupRealTime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphAppearance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphMarks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphTools.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmAnnoEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmSetupScale.cpp
)

# The shipped graph template is the built-in look, written at build time by a small
# tool into the program's folder (bin/template/graph.ghf).
add_executable(thermo4-template ${CMAKE_CURRENT_LIST_DIR}/MakeTemplate.cpp)
target_include_directories(thermo4-template PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(thermo4-template PRIVATE thermo4_chart)
thermo4_warnings(thermo4-template)
set(THERMO4_TEMPLATE_FILE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/template/graph.ghf)
add_custom_command(OUTPUT ${THERMO4_TEMPLATE_FILE}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:thermo4-template> ${THERMO4_TEMPLATE_FILE}
  DEPENDS thermo4-template
  COMMENT "Writing the shipped graph template")
add_custom_target(thermo4_graph_template ALL DEPENDS ${THERMO4_TEMPLATE_FILE})
# Whatever links the windows gets the template too (thermo4_ui is defined after this file).
cmake_language(DEFER CALL add_dependencies thermo4_ui thermo4_graph_template)
