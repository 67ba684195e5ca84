# Shared helpers for the project's targets.

# Strict warnings, as errors, for the project's own code.
function(ostrel_target_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
        -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough
        -Werror)
    # GCC 12 reports overlapping copies inside std::string's operator+ at -O3
    # that cannot happen (GCC bug 105329).
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
endfunction()

# A GoogleTest executable registered with ctest. Its tests carry one label,
# the layer they test: the name of the folder below tests/ (so that
# `ctest -L '^jet$'` runs the Jet reader's tests), or the first of LABELS
# when given. One label only: gtest_discover_tests passes on only the first
# item of a list.
#   ostrel_add_gtest(NAME name SOURCES ... LIBS ... [LABELS layer])
function(ostrel_add_gtest)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
    if(ARG_LABELS)
        list(GET ARG_LABELS 0 label)
    else()
        file(RELATIVE_PATH below_tests "${PROJECT_SOURCE_DIR}/tests" "${CMAKE_CURRENT_SOURCE_DIR}")
        string(REGEX REPLACE "/.*" "" label "${below_tests}")
    endif()
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${ARG_NAME} PRIVATE
        OSTREL_TESTDATA_DIR="${OSTREL_TESTDATA_DIR}"
        OSTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    ostrel_target_warnings(${ARG_NAME})
    include(GoogleTest)
    gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS ${label})
endfunction()
