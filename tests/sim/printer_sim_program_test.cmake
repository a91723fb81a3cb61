# Runs rovant-printer-sim as a process: binary standard input and output,
# the state file, the paper file and exit codes.
# Inputs: SIM (the program), EMULATOR (empty natively), WORK (a scratch folder).

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
string(ASCII 27 esc)
set(online "${esc}eONLINE")

set(PROGRAM "${SIM}")
include(${CMAKE_CURRENT_LIST_DIR}/../cli/run_expect.cmake)

# Runs the simulator with `input` on its standard input; `out` is its standard output in hex.
function(feed expected_code input)
  file(WRITE "${WORK}/in.bin" "${input}")
  set(RUN_INPUT "${WORK}/in.bin")
  run_into("${WORK}/out.bin" ${expected_code} ${ARGN})
  file(READ "${WORK}/out.bin" out HEX)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# "?MODEL  :HX310  \r\n?VER    :1.02   \r\n", byte for byte (no CR or LF translated).
feed(0 "${online}?MODEL  \r?VER    \rEXIT   \r" --model HX310)
expect_equal("${out}"
  "3f4d4f44454c20203a485833313020200d0a3f564552202020203a312e30322020200d0a" "queries")

# A transfer saved to the state file, shown by the next run.
feed(0 "${online}MENU1  :PITCH  :12 CPI \rSAVE   \rEXIT   \r" --state state.bin)
file(READ "${WORK}/state.bin" state HEX)
expect_equal("${state}" "000000050500000009060600000801000103000000010000000004050000000906060000080100010300000001000100000003030006000000010000020002000a0a030304030000010001000101000001010100010100" "state saved")
feed(0 "" --state state.bin --show)
file(READ "${WORK}/out.bin" shown)
expect_contains("${shown}" "MENU1    PITCH    12 CPI" "--show")

# LIST appends to the paper file.
feed(0 "${online}LIST   \rEXIT   \r" --paper paper.txt)
feed(0 "${online}LIST   \rEXIT   \r" --paper paper.txt)
file(STRINGS "${WORK}/paper.txt" titles REGEX "^HX320 setting list$")
list(LENGTH titles count)
expect_equal("${count}" "2" "two setting lists on paper")

# Paper or standard output that cannot be written fails the run, with the system's reason.
if(NOT EMULATOR AND EXISTS /dev/full)
  feed(1 "${online}LIST   \rEXIT   \r" --paper /dev/full)
  expect_contains("${err}" "the paper file /dev/full cannot be written: No space left on device"
    "paper on a full disk")
  run_into(/dev/full 1 --show)
  expect_contains("${err}" "writing to standard output failed: No space left on device"
    "standard output on a full disk")
endif()
file(MAKE_DIRECTORY "${WORK}/folder.txt")
feed(1 "" --paper folder.txt)
expect_contains("${err}" "the paper file folder.txt cannot be opened: " "paper file reason")

# Failures and wrong usage.
if(NOT EMULATOR)
  feed(1 "${online}?VER    \r" --state folder.txt)
  expect_contains("${err}" "state file folder.txt: cannot be opened: a folder, not a file"
    "state file reason")
endif()
feed(2 "" --model HX999)
feed(2 "" --bad-item MENU1.NOTHING)
feed(2 "" --no-such-option)
feed(0 "" --help)
