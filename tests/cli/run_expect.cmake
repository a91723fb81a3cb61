# Running a program under test from a -P test script, and checking what it did. The including
# script sets PROGRAM, EMULATOR (empty natively) and WORK (the program's working directory).

# Runs the program with ARGN, fails the test unless it exits with `expected_code`, and sets `out`
# and `err` in the caller; standard input from RUN_INPUT and output to RUN_OUTPUT when set.
function(run expected_code)
  set(io OUTPUT_VARIABLE out)
  if(DEFINED RUN_OUTPUT)
    set(io OUTPUT_FILE "${RUN_OUTPUT}")
  endif()
  if(DEFINED RUN_INPUT)
    list(APPEND io INPUT_FILE "${RUN_INPUT}")
  endif()
  execute_process(COMMAND ${EMULATOR} "${PROGRAM}" ${ARGN}
    WORKING_DIRECTORY "${WORK}" TIMEOUT 120 ${io}
    RESULT_VARIABLE code ERROR_VARIABLE err)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
  if(NOT code STREQUAL expected_code)
    get_filename_component(name "${PROGRAM}" NAME_WE)
    string(JOIN " " command ${name} ${ARGN})
    message(SEND_ERROR "${command}: exit ${code}, expected ${expected_code}\n${out}\n${err}")
  endif()
endfunction()

# Like run, with standard output going to `file` (e.g. /dev/full).
function(run_into file expected_code)
  set(RUN_OUTPUT "${file}")
  run(${expected_code} ${ARGN})
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_equal actual expected what)
  if(NOT "${actual}" STREQUAL "${expected}")
    message(SEND_ERROR "${what}: got '${actual}', expected '${expected}'")
  endif()
endfunction()

function(expect_contains text piece what)
  string(FIND "${text}" "${piece}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "${what}: '${piece}' not found in:\n${text}")
  endif()
endfunction()

# Like run, then expects `piece` in its standard output (STREAM out) or error (err).
function(run_expect expected_code stream piece)
  run(${expected_code} ${ARGN})
  string(JOIN " " command ${ARGN})
  expect_contains("${${stream}}" "${piece}" "${command}")
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()
