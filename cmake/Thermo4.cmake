# Shared compile settings, the layer and include-root helpers, precompiled headers and the test
# registration helper.
include(GNUInstallDirs)

# A sanitizer build instruments every target, libraries and tests alike. Any undefined behaviour
# stops the program, so a test that meets it fails instead of printing a note that nobody reads.
if(THERMO4_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Without debug information (the test command): with it, a product source takes a quarter to a third
# longer, the debug side of the precompiled Qt headers included. -g0 comes after the build type's -g,
# so it wins, and the tests' flags then add no line tables.
if(NOT THERMO4_DEBUG_INFO)
  add_compile_options(-g0)
endif()

# Unity build (the test command): a target's sources are compiled eight to a translation unit, so
# the precompiled header is loaded and the Qt and GoogleTest templates are instantiated once per
# batch instead of once per source. The sources of one target must therefore not share names in
# their anonymous namespaces. A source's anonymous types used in a class of its own are no longer
# "in the main file", which -Wsubobject-linkage would take for a header's.
if(THERMO4_UNITY)
  set(CMAKE_UNITY_BUILD ON)
  set(CMAKE_UNITY_BUILD_BATCH_SIZE 8)
  add_compile_options(-Wno-subobject-linkage)
endif()

# The fuzz targets instrument the libraries target by target, which a shared precompiled header
# built without that instrumentation cannot serve.
if(THERMO4_FUZZ AND THERMO4_PCH)
  message(STATUS "THERMO4_FUZZ: precompiled headers off")
  set(THERMO4_PCH OFF)
endif()

# Where the installed program finds its shipped files, relative to its own folder: the program in
# <prefix>/bin, the files in <prefix>/share/thermo4 (ui/Paths.cpp).
set(THERMO4_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/thermo4)
foreach(dir CMAKE_INSTALL_BINDIR CMAKE_INSTALL_DATADIR)
  if(IS_ABSOLUTE "${${dir}}")
    message(FATAL_ERROR "${dir} must be relative to the prefix for the program to find its files")
  endif()
endforeach()
file(RELATIVE_PATH THERMO4_SHIPPED_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${THERMO4_SHARE_DIR})

function(thermo4_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(THERMO4_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# thermo4_include_root(<target> <PUBLIC|PRIVATE|INTERFACE> <folder> <source-dir> [FILES <header>...])
# Makes #include "<folder>/X.h" resolve in <target> (and, unless PRIVATE, in whatever links it) and
# nowhere else: build/include/<target>/<folder> is a symbolic link to <source-dir>, or a folder of
# links to the FILES listed, and build/include/<target> becomes an include directory of <target>.
# An include of a layer that a target does not declare fails with "No such file or directory".
function(thermo4_include_root target scope folder source_dir)
  cmake_parse_arguments(R "" "" "FILES" ${ARGN})
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  # A shorter list or a former folder link must leave nothing stale behind (links are not followed).
  file(REMOVE_RECURSE ${root}/${folder})
  if(R_FILES)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header IN LISTS R_FILES)
      file(CREATE_LINK ${source_dir}/${header} ${root}/${folder}/${header} SYMBOLIC)
    endforeach()
  else()
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${source_dir} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# thermo4_layer(<folder> SOURCES <file>... [PUBLIC <lib>...] [PRIVATE <lib>...] [PCH <carrier>])
# The static library thermo4_<folder> of one layer, with the folder as its include root: a layer
# sees the layers it links and no other.
function(thermo4_layer folder)
  cmake_parse_arguments(L "" "PCH" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  set(target thermo4_${folder})
  add_library(${target} STATIC ${L_SOURCES})
  thermo4_include_root(${target} PUBLIC ${folder} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${L_PUBLIC} PRIVATE ${L_PRIVATE})
  thermo4_warnings(${target})
  if(L_PCH)
    thermo4_reuse_pch(${target} ${L_PCH})
  endif()
endfunction()

# Test code is compiled with less optimisation and line tables only: most of its compile time goes
# into optimising long test bodies full of assertion macros, and the code it tests keeps -O2 -g.
function(thermo4_test_flags target)
  if(THERMO4_DEBUG_INFO)
    target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo>:-O1 -g1>)
  else()
    target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo>:-O1>)
  endif()
endfunction()

# The headers that most translation units include, precompiled for the product and the tests.
set(THERMO4_PCH_STD
  <algorithm>
  <array>
  <cmath>
  <cstdint>
  <functional>
  <map>
  <memory>
  <optional>
  <span>
  <string>
  <vector>
)
set(THERMO4_PCH_QTCORE
  <QByteArray>
  <QCoreApplication>
  <QDateTime>
  <QDir>
  <QFile>
  <QFileInfo>
  <QList>
  <QLocale>
  <QObject>
  <QString>
  <QStringList>
  <QTimer>
)
# The widgets most windows use, one by one: QtWidgets and QtPrintSupport whole (what qcustomplot.h
# pulls in) cost every translation unit that takes them several seconds, used or not.
set(THERMO4_PCH_WIDGETS
  <QAction>
  <QApplication>
  <QCheckBox>
  <QComboBox>
  <QDialog>
  <QGridLayout>
  <QHBoxLayout>
  <QLabel>
  <QLineEdit>
  <QMdiSubWindow>
  <QMessageBox>
  <QPainter>
  <QPointer>
  <QPushButton>
  <QToolButton>
  <QVBoxLayout>
  <QWidget>
)

# thermo4_pch_carrier(<name> [TEST] LIBS <lib>... HEADERS <header>...)
# An object library over an empty source whose only job is to compile the precompiled header that
# other targets reuse (thermo4_reuse_pch). GCC takes a precompiled header only when the user has
# the same optimisation, debug kind and the carrier's macro definitions (a user may define more),
# so a carrier links only libraries whose definitions every user has, and TEST carriers get the
# test code's flags. A mismatch is an invalid-pch warning, an error under THERMO4_WERROR.
function(thermo4_pch_carrier name)
  cmake_parse_arguments(P "TEST" "" "LIBS;HEADERS" ${ARGN})
  if(NOT THERMO4_PCH)
    return()
  endif()
  set(source ${PROJECT_BINARY_DIR}/pch/${name}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Compiles the precompiled header ${name}.\n")
  add_library(${name} OBJECT ${source})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF)
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  target_precompile_headers(${name} PRIVATE ${P_HEADERS})
  thermo4_warnings(${name})
  if(P_TEST)
    thermo4_test_flags(${name})
  endif()
endfunction()

# Reuses a carrier's precompiled header in target (nothing when THERMO4_PCH is OFF).
function(thermo4_reuse_pch target carrier)
  if(THERMO4_PCH)
    target_precompile_headers(${target} REUSE_FROM ${carrier})
  endif()
endfunction()

# thermo4_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2 [PCH carrier])
# One GoogleTest executable; every test case becomes a CTest test that runs
# offscreen, so widget tests work without a display. It sees the layers it links,
# and tests/ for the test support shared between folders.
function(thermo4_add_test)
  cmake_parse_arguments(T "" "NAME;PCH" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${T_NAME} PRIVATE
    THERMO4_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
    THERMO4_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  thermo4_warnings(${T_NAME})
  thermo4_test_flags(${T_NAME})
  if(T_PCH)
    thermo4_reuse_pch(${T_NAME} ${T_PCH})
    # A test includes its own moc output, so AUTOMOC's mocs_compilation.cpp is empty; with the
    # precompiled header it would still load the whole of it, seconds of compile time for nothing.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_autogen/mocs_compilation.cpp
      TARGET_DIRECTORY ${T_NAME} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()
