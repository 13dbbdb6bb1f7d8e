# Runs one fuzz target for a while on a scratch copy of its seed corpus, so that the inputs it adds
# stay out of the source tree. Used by the fuzz tests (ctest -L fuzz) and tools/fuzz-long.sh:
#   cmake -DFUZZER=<target file> -DCORPUS=<seed folder> -DWORK=<scratch folder> -DSECONDS=<n>
#         -DMAX_LEN=<longest input> -P RunFuzzer.cmake
# Fails when the target reports a fault (crash, sanitizer report, failed check, timeout, more than
# 512 MB of memory). WORK/summary gets one line with the number of executions, executions per
# second and peak memory; WORK/log the whole output, WORK/crash-* (or leak-*, timeout-*, oom-*) the
# input that failed.
foreach(var FUZZER CORPUS WORK SECONDS MAX_LEN)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunFuzzer.cmake: ${var} is not set")
  endif()
endforeach()

get_filename_component(name "${FUZZER}" NAME)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${CORPUS}/" DESTINATION "${WORK}/corpus")
file(GLOB seeds "${WORK}/corpus/*")
list(LENGTH seeds seedCount)

execute_process(
  COMMAND "${FUZZER}" "${WORK}/corpus" -max_total_time=${SECONDS} -max_len=${MAX_LEN}
          -rss_limit_mb=512 -timeout=30 -artifact_prefix=${WORK}/ -print_final_stats=1
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(WRITE "${WORK}/log" "${out}")

string(REGEX MATCH "Done ([0-9]+) runs in ([0-9]+) second" done "${out}")
set(runs "${CMAKE_MATCH_1}")
set(seconds "${CMAKE_MATCH_2}")
string(REGEX MATCH "average_exec_per_sec: *([0-9]+)" rate "${out}")
set(rate "${CMAKE_MATCH_1}")
string(REGEX MATCH "peak_rss_mb: *([0-9]+)" peak "${out}")
set(peak "${CMAKE_MATCH_1}")
file(GLOB corpus "${WORK}/corpus/*")
list(LENGTH corpus corpusCount)
if(rc EQUAL 0 AND done)
  set(summary "${name}: ${runs} runs in ${seconds} s (${rate}/s), peak ${peak} MB, no fault;")
  string(APPEND summary " corpus ${seedCount} seeds -> ${corpusCount} inputs")
  file(WRITE "${WORK}/summary" "${summary}\n")
  message(STATUS "${summary}")
else()
  file(GLOB artifacts "${WORK}/crash-*" "${WORK}/leak-*" "${WORK}/timeout-*" "${WORK}/oom-*"
       "${WORK}/slow-unit-*")
  file(WRITE "${WORK}/summary" "${name}: FAULT (exit ${rc}) ${artifacts}\n")
  string(LENGTH "${out}" length)
  if(length GREATER 6000)
    math(EXPR from "${length} - 6000")
    string(SUBSTRING "${out}" ${from} -1 out)
  endif()
  message(FATAL_ERROR "${out}\n${name}: fault found (exit ${rc}); failing input: ${artifacts}")
endif()
