# Compiles the layout check with the given flags and runs it.
execute_process(COMMAND ${CXX} ${FLAGS} -std=c++17 -I${SOURCE_DIR} ${SOURCE} -o ${OUTPUT}
                RESULT_VARIABLE compiled)
if(NOT compiled EQUAL 0)
  message(FATAL_ERROR "the layout check does not compile with '${FLAGS}' (for -m32: install g++-multilib)")
endif()
execute_process(COMMAND ${OUTPUT} RESULT_VARIABLE checked)
if(NOT checked EQUAL 0)
  message(FATAL_ERROR "record layout differs from what hosts read")
endif()
