# Shared compile settings and the test registration helper.

# A sanitizer build instruments every target, libraries and tests alike. Any undefined behaviour
# stops the program, so a test that meets it fails instead of printing a note that nobody reads.
if(THERMO4_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

function(thermo4_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(THERMO4_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# thermo4_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest executable; every test case becomes a CTest test that runs
# offscreen, so widget tests work without a display.
function(thermo4_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${T_NAME} PRIVATE
    THERMO4_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
    THERMO4_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  thermo4_warnings(${T_NAME})
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()
