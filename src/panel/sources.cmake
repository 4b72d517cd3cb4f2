list(APPEND THERMO4_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ClickArea.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlyphCache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LcdGlyphs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TfrmPanel.cpp
)

# The LCD glyph bitmaps ("LCD0".."LCD24", "LCDS0".."LCDS24" under :/glyphs) are
# drawn at build time by a small tool and compiled into the ui library.
add_executable(thermo4-lcd-glyphs
  ${CMAKE_CURRENT_LIST_DIR}/tools/MakeLcdGlyphs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LcdGlyphs.cpp)
target_include_directories(thermo4-lcd-glyphs PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(thermo4-lcd-glyphs PRIVATE thermo4_core Qt6::Gui)
set_target_properties(thermo4-lcd-glyphs PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/tools AUTOMOC OFF AUTORCC OFF)
thermo4_warnings(thermo4-lcd-glyphs)

set(THERMO4_GLYPH_DIR ${CMAKE_CURRENT_BINARY_DIR}/lcd_glyphs)
set(THERMO4_GLYPH_FILES ${THERMO4_GLYPH_DIR}/lcd_glyphs.qrc)
foreach(index RANGE 24)
  list(APPEND THERMO4_GLYPH_FILES ${THERMO4_GLYPH_DIR}/LCD${index}.png ${THERMO4_GLYPH_DIR}/LCDS${index}.png)
endforeach()
add_custom_command(
  OUTPUT ${THERMO4_GLYPH_FILES}
  COMMAND thermo4-lcd-glyphs ${THERMO4_GLYPH_DIR}
  DEPENDS thermo4-lcd-glyphs
  COMMENT "Drawing the LCD glyph bitmaps")
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/qrc_lcd_glyphs.cpp
  COMMAND Qt6::rcc --name lcd_glyphs --output ${CMAKE_CURRENT_BINARY_DIR}/qrc_lcd_glyphs.cpp
          ${THERMO4_GLYPH_DIR}/lcd_glyphs.qrc
  DEPENDS ${THERMO4_GLYPH_FILES}
  COMMENT "Compiling the LCD glyph resources")
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/qrc_lcd_glyphs.cpp PROPERTIES SKIP_AUTOGEN ON)
list(APPEND THERMO4_UI_SOURCES ${CMAKE_CURRENT_BINARY_DIR}/qrc_lcd_glyphs.cpp)
