# Runs PROGRAM with INPUT on its standard input and compares what it prints
# with EXPECTED, where the count stands as "N = <count>". Also checks that
# the one 10 s recording took its time and gave a believable count.
#   PROGRAM      the command, a list: "wine;counting-lab.exe" runs the Windows build
#   CRLF         ON where every line must end in CR LF (Windows), else none may
#   START_UP_S   seconds the command may take beyond the recording (default 0)
#   TRANSCRIPT   where to keep what it printed (default: transcript.txt here)
#   INPUT, EXPECTED  the session and its transcript (default: session.txt and
#                session.expected beside this script)
if(NOT DEFINED INPUT)
  set(INPUT "${CMAKE_CURRENT_LIST_DIR}/session.txt")
endif()
if(NOT DEFINED EXPECTED)
  set(EXPECTED "${CMAKE_CURRENT_LIST_DIR}/session.expected")
endif()
if(NOT DEFINED START_UP_S)
  set(START_UP_S 0)
endif()
if(NOT DEFINED TRANSCRIPT)
  set(TRANSCRIPT "${CMAKE_CURRENT_BINARY_DIR}/transcript.txt")
endif()

string(TIMESTAMP started_s "%s" UTC)
execute_process(COMMAND ${PROGRAM}
  INPUT_FILE "${INPUT}"
  OUTPUT_FILE "${TRANSCRIPT}"
  RESULT_VARIABLE status
  TIMEOUT 60)
string(TIMESTAMP ended_s "%s" UTC)
# CMake reads text without its carriage returns; the line ends are counted
# in the bytes.
file(READ "${TRANSCRIPT}" transcript)

if(NOT status STREQUAL "0")
  message(FATAL_ERROR "exit status ${status}, expected 0; output:\n${transcript}")
endif()

file(READ "${TRANSCRIPT}" hex HEX)
string(REGEX REPLACE "(..)" "\\1 " bytes "${hex}")
string(REGEX MATCHALL "0a " line_feeds "${bytes}")
string(REGEX MATCHALL "0d 0a " crlfs "${bytes}")
string(REGEX MATCHALL "0d " carriage_returns "${bytes}")
list(LENGTH line_feeds lines)
list(LENGTH crlfs crlf_lines)
list(LENGTH carriage_returns crs)
if(CRLF AND NOT (crlf_lines EQUAL lines AND crs EQUAL lines))
  message(FATAL_ERROR "${lines} lines, ${crlf_lines} ending in CR LF, ${crs} CRs in all")
elseif(NOT CRLF AND NOT crs EQUAL 0)
  message(FATAL_ERROR "${crs} carriage returns in the output")
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
math(EXPR longest_s "11 + ${START_UP_S}")
if(elapsed_s LESS 9 OR elapsed_s GREATER longest_s)
  message(FATAL_ERROR "the session took about ${elapsed_s} s; a 10 s recording takes 9 to 10 s")
endif()
