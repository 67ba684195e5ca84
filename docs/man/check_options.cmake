# Compares the options a program's --help lists with those its manual page
# describes; each must name the same set.
#   cmake -DPROGRAM=... -DPAGE=page.1.scd -P check_options.cmake
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} --help exited with ${result}")
endif()

# --help: option lines start with blanks and a dash ("  -h, --help   show...").
set(from_help "")
string(REPLACE "\n" ";" lines "${help}")
foreach(line IN LISTS lines)
    if(line MATCHES "^ +(-[-a-zA-Z]+)(, (-[-a-zA-Z]+))?")
        list(APPEND from_help ${CMAKE_MATCH_1} ${CMAKE_MATCH_3})
    endif()
endforeach()

# Manual page: option entries start a line in bold ("*-h*, *--help*").
set(from_page "")
file(STRINGS "${PAGE}" page_lines)
set(in_options FALSE)
foreach(line IN LISTS page_lines)
    if(line MATCHES "^# ")
        set(in_options FALSE)
        if(line STREQUAL "# OPTIONS")
            set(in_options TRUE)
        endif()
    elseif(in_options AND line MATCHES "^\\*(-[-a-zA-Z]+)\\*(, \\*(-[-a-zA-Z]+)\\*)?")
        list(APPEND from_page ${CMAKE_MATCH_1} ${CMAKE_MATCH_3})
    endif()
endforeach()

foreach(list_name from_help from_page)
    list(REMOVE_ITEM ${list_name} "")
    list(REMOVE_DUPLICATES ${list_name})
    list(SORT ${list_name})
endforeach()
if(from_help STREQUAL "")
    message(FATAL_ERROR "no options found in the output of ${PROGRAM} --help")
endif()
if(NOT from_help STREQUAL from_page)
    message(FATAL_ERROR "--help lists [${from_help}] but ${PAGE} describes [${from_page}]")
endif()
message(STATUS "both list: ${from_help}")
