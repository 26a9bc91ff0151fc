# Compiles the layout check with the given flags: the compiler's static assertions are the test.
# Nothing is run, so the 32-bit layout is checked also where 32-bit programs cannot execute.
file(WRITE ${OUTPUT}.probe.cpp "#include <cstddef>\n")
execute_process(COMMAND ${CXX} ${FLAGS} -std=c++17 -c ${OUTPUT}.probe.cpp -o ${OUTPUT}.probe.o
                RESULT_VARIABLE can_target OUTPUT_QUIET ERROR_QUIET)
if(NOT can_target EQUAL 0)
  message("SKIPPED: ${CXX} cannot compile for '${FLAGS}' on this machine (for -m32: install g++-multilib)")
  return()
endif()

execute_process(COMMAND ${CXX} ${FLAGS} -std=c++17 -I${SOURCE_DIR} -c ${SOURCE} -o ${OUTPUT}.o
                RESULT_VARIABLE compiled)
if(NOT compiled EQUAL 0)
  message(FATAL_ERROR "record layout with '${FLAGS}' differs from what hosts read (see the assertions above)")
endif()
message("record layout with '${FLAGS}' is as hosts read it")
