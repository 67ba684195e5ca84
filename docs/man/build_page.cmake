# Turns one scdoc page into a roff page compressed as Debian wants it (gzip -9n:
# no name or time stamp inside, so builds are reproducible).
#   cmake -DSCDOC=... -DGZIP=... -DINPUT=page.1.scd -DOUTPUT=page.1.gz -P build_page.cmake
string(REGEX REPLACE "\\.gz$" "" roff "${OUTPUT}")
execute_process(COMMAND "${SCDOC}" INPUT_FILE "${INPUT}" OUTPUT_FILE "${roff}"
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "scdoc failed on ${INPUT}")
endif()
execute_process(COMMAND "${GZIP}" -9n -f "${roff}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${roff}")
endif()
