# Runs PROGRAM with INPUT on its standard input and compares what it prints
# with EXPECTED, where the count stands as "N = <count>". Also checks that
# the one 10 s recording took its time and gave a believable count.
string(TIMESTAMP started_s "%s" UTC)
execute_process(COMMAND "${PROGRAM}"
  INPUT_FILE "${INPUT}"
  OUTPUT_VARIABLE transcript
  RESULT_VARIABLE status
  TIMEOUT 25)
string(TIMESTAMP ended_s "%s" UTC)

if(NOT status STREQUAL "0")
  message(FATAL_ERROR "exit status ${status}, expected 0; output:\n${transcript}")
endif()

string(REGEX MATCHALL "N = [0-9]+\n" counts "${transcript}")
list(LENGTH counts recordings)
if(NOT recordings EQUAL 1)
  message(FATAL_ERROR "expected one count, found ${recordings}:\n${transcript}")
endif()
string(REGEX MATCH "[0-9]+" N "${counts}")
# Source 3 for 10 s averages about 39 counts, with a spread of about 5.
if(N LESS 10 OR N GREATER 90)
  message(FATAL_ERROR "N = ${N} is far outside what source 3 gives in 10 s")
endif()

string(REGEX REPLACE "N = [0-9]+\n" "N = <count>\n" masked "${transcript}")
file(READ "${EXPECTED}" expected)
if(NOT masked STREQUAL expected)
  message(FATAL_ERROR "transcript differs.\n--- expected\n${expected}\n--- got\n${masked}")
endif()

# Whole-second readings: a wait of 9 to 10 s reads as 9 to 11.
math(EXPR elapsed_s "${ended_s} - ${started_s}")
if(elapsed_s LESS 9 OR elapsed_s GREATER 11)
  message(FATAL_ERROR "the session took about ${elapsed_s} s; a 10 s recording takes 9 to 10 s")
endif()
