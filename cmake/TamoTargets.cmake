# Each folder under src/ is one library; each folder under tests/ one test executable.
# Sources are collected per folder so that adding a file needs no edit here.

function(tamo_add_library name folder)
    cmake_parse_arguments(ARG "" "" "PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# Unit and widget suites run on Qt's offscreen platform. Suites marked X11 need
# the real X server that scripts/test starts; they share its clipboard and
# keyboard, so they never run at the same time as each other. Every test has a
# time limit, so one that hangs fails instead of holding up the whole run.
function(tamo_add_test_suite name folder)
    cmake_parse_arguments(ARG "X11" "" "DEPS" ${ARGN})
    # The slowest test takes about 12 s, several times that under the sanitizers.
    set(timeout 300)
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE tamo_test_support ${ARG_DEPS})
    if(ARG_X11)
        gtest_discover_tests(${name}
            DISCOVERY_MODE PRE_TEST
            PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" RESOURCE_LOCK x11display LABELS x11
                       TIMEOUT ${timeout})
    else()
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
