# Writes the test program's list of tests (its --gtest_list_tests output) to OUTPUT, from which
# TestEntries.cmake makes the CTest entries. Run after every link of PROGRAM.
execute_process(COMMAND "${PROGRAM}" --gtest_list_tests
                OUTPUT_VARIABLE listed ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT 60)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "${PROGRAM} could not list its tests (${result}):\n${errors}")
endif()
file(WRITE "${OUTPUT}" "${listed}")
