# Regenerates the sample and compares it byte for byte with the committed file.
execute_process(COMMAND ${JETGEN} ${DESCRIPTION} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "jetgen failed on ${DESCRIPTION}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED}
    RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${COMMITTED} differs from what jetgen writes; regenerate it with: jetgen ${DESCRIPTION} ${COMMITTED}")
endif()
