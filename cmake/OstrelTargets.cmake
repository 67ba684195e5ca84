# Shared helpers for the project's targets.

# Adds a subdirectory only when it has a CMakeLists.txt, so that layers can grow
# independently.
function(ostrel_add_subdirectory_if_present dir)
    if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
        add_subdirectory(${dir})
    endif()
endfunction()

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

# A GoogleTest executable registered with ctest.
#   ostrel_add_gtest(NAME name SOURCES ... LIBS ... [LABELS ...])
function(ostrel_add_gtest)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${ARG_NAME} PRIVATE
        OSTREL_TESTDATA_DIR="${OSTREL_TESTDATA_DIR}"
        OSTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    ostrel_target_warnings(${ARG_NAME})
    include(GoogleTest)
    gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS "${ARG_LABELS}")
endfunction()
