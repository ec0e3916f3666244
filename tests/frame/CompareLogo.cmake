# Draws the logo again and compares it byte for byte with the committed one.
execute_process(COMMAND ${PYTHON} ${SCRIPT} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_about_logo.py failed: ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED} RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "about_logo.bmp is not what make_about_logo.py draws; run it again and commit the result")
endif()
