# The Qt and standard headers nearly every file includes, compiled once for the
# libraries and once for the suites: a build takes about a third less time. GCC
# uses such a header where the macros it depends on match, so every file gets
# -pthread, which some pkg-config flags carry; clang refuses any difference in
# the command line's macros, so its builds (the fuzz targets) go without.
set(TAMO_PRECOMPILED_HEADERS <QObject> <QString> <QList> <QHash> <QVariant> <QWidget> <QPainter> <QTimer>
    <memory> <functional> <optional> <vector>)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-pthread)
    add_library(tamo_precompiled OBJECT ${PROJECT_SOURCE_DIR}/cmake/precompiled.cpp)
    target_link_libraries(tamo_precompiled PUBLIC Qt6::Widgets)
    target_precompile_headers(tamo_precompiled PRIVATE ${TAMO_PRECOMPILED_HEADERS})
endif()

# Lets `target` use the precompiled header `from`, where there is one.
function(tamo_use_precompiled target from)
    if(TARGET ${from})
        target_precompile_headers(${target} REUSE_FROM ${from})
    endif()
endfunction()

# Each folder under src/ is one library; each folder under tests/ one test executable.
# Sources are collected per folder so that adding a file needs no edit here.

function(tamo_add_library name folder)
    cmake_parse_arguments(ARG "" "" "PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    # The shared header holds widgets: a library of Qt Core alone compiles its own way.
    if(NOT ARG_PUBLIC_DEPS STREQUAL "Qt6::Core")
        tamo_use_precompiled(${name} tamo_precompiled)
    endif()
endfunction()

# Unit and widget suites run on Qt's offscreen platform. Suites marked X11 need
# a real X server: ctest starts each of their tests (one process each) on an
# Xvfb of its own through tests/support/own_display.sh, CMake's launcher for
# tests (the emulator property, which gtest discovery honours), so they run side
# by side without sharing a clipboard, keyboard or window manager. Every test
# runs on a D-Bus session bus of its own (tests/support/own_session_bus.sh),
# where no app installed on the machine answers. Every test has a time limit,
# so one that hangs fails instead of holding up the whole run.
function(tamo_add_test_suite name folder)
    cmake_parse_arguments(ARG "X11" "" "DEPS" ${ARGN})
    # The slowest test takes about 12 s, several times that under the sanitizers.
    set(timeout 300)
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE tamo_test_support ${ARG_DEPS})
    tamo_use_precompiled(${name} tamo_precompiled_tests)
    set(own_bus ${PROJECT_SOURCE_DIR}/tests/support/own_session_bus.sh)
    if(ARG_X11)
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform/x11/HeldKeysCheck.cpp)
        target_link_libraries(${name} PRIVATE PkgConfig::TEST_X11)
        set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
                              "${PROJECT_SOURCE_DIR}/tests/support/own_display.sh;${own_bus}")
        gtest_discover_tests(${name}
            DISCOVERY_MODE PRE_TEST
            PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" LABELS x11 TIMEOUT ${timeout})
    else()
        set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR ${own_bus})
        gtest_discover_tests(${name}
            DISCOVERY_MODE PRE_TEST
            PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${timeout})
    endif()
endfunction()

# A program the suites start as a separate process, built from tests/tools/;
# each suite that names it is built after it and gets its path as `define`.
function(tamo_add_test_tool name source define)
    cmake_parse_arguments(ARG "" "" "LIBRARIES;SUITES" ${ARGN})
    add_executable(${name} tools/${source})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES})
    foreach(suite ${ARG_SUITES})
        add_dependencies(${suite} ${name})
        target_compile_definitions(${suite} PRIVATE ${define}="$<TARGET_FILE:${name}>")
    endforeach()
endfunction()
