# Runs rovant-printer-sim as a process: binary standard input and output,
# the state file, the paper file and exit codes.
# Inputs: SIM (the program), EMULATOR (empty natively), WORK (a scratch folder).

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
string(ASCII 27 esc)
set(online "${esc}eONLINE")

function(run expected_code input)
  file(WRITE "${WORK}/in.bin" "${input}")
  execute_process(COMMAND ${EMULATOR} "${SIM}" ${ARGN}
    WORKING_DIRECTORY "${WORK}"
    INPUT_FILE "${WORK}/in.bin" OUTPUT_FILE "${WORK}/out.bin"
    RESULT_VARIABLE code ERROR_VARIABLE err)
  file(READ "${WORK}/out.bin" out HEX)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
  if(NOT code STREQUAL expected_code)
    message(SEND_ERROR "rovant-printer-sim ${ARGN}: exit ${code}, expected ${expected_code}\n${err}")
  endif()
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

# "?MODEL  :HX310  \r\n?VER    :1.02   \r\n", byte for byte (no CR or LF translated).
run(0 "${online}?MODEL  \r?VER    \rEXIT   \r" --model HX310)
expect_equal("${out}"
  "3f4d4f44454c20203a485833313020200d0a3f564552202020203a312e30322020200d0a" "queries")

# A transfer saved to the state file, shown by the next run.
run(0 "${online}MENU1  :PITCH  :12 CPI \rSAVE   \rEXIT   \r" --state state.bin)
file(READ "${WORK}/state.bin" state HEX)
expect_equal("${state}" "000000050500000009060600000801000103000000010000000004050000000906060000080100010300000001000100000003030006000000010000020002000a0a030304030000010001000101000001010100010100" "state saved")
run(0 "" --state state.bin --show)
file(READ "${WORK}/out.bin" shown)
expect_contains("${shown}" "MENU1    PITCH    12 CPI" "--show")

# LIST appends to the paper file.
run(0 "${online}LIST   \rEXIT   \r" --paper paper.txt)
run(0 "${online}LIST   \rEXIT   \r" --paper paper.txt)
file(STRINGS "${WORK}/paper.txt" titles REGEX "^HX320 setting list$")
list(LENGTH titles count)
expect_equal("${count}" "2" "two setting lists on paper")

# Paper or standard output that cannot be written fails the run, with the system's reason.
if(NOT EMULATOR AND EXISTS /dev/full)
  run(1 "${online}LIST   \rEXIT   \r" --paper /dev/full)
  expect_contains("${err}" "the paper file /dev/full cannot be written: No space left on device"
    "paper on a full disk")
  execute_process(COMMAND "${SIM}" --show OUTPUT_FILE /dev/full RESULT_VARIABLE code
    ERROR_VARIABLE err)
  expect_equal("${code}" "1" "--show to a full disk")
  expect_contains("${err}" "writing to standard output failed: No space left on device"
    "standard output on a full disk")
endif()
file(MAKE_DIRECTORY "${WORK}/folder.txt")
run(1 "" --paper folder.txt)
expect_contains("${err}" "the paper file folder.txt cannot be opened: " "paper file reason")

# Failures and wrong usage.
file(WRITE "${WORK}/bad.bin" "short")
run(1 "${online}?VER    \r" --state bad.bin)
expect_contains("${err}" "bad.bin" "damaged state file named")
if(NOT EMULATOR)
  run(1 "${online}?VER    \r" --state folder.txt)
  expect_contains("${err}" "state file folder.txt: cannot be opened: a folder, not a file"
    "state file reason")
endif()
run(1 "${online}?VER    \r" --switched-off)
run(2 "" --model HX999)
run(2 "" --bad-item MENU1.NOTHING)
run(2 "" --no-such-option)
run(0 "" --help)
