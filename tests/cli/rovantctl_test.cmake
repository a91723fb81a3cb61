# Runs rovantctl through its commands and checks exit codes, output and files.
# Inputs: ROVANTCTL (the program), EMULATOR (empty natively), WORK (a scratch folder).

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(failures 0)

function(run expected_code)
  execute_process(COMMAND ${EMULATOR} "${ROVANTCTL}" ${ARGN}
    WORKING_DIRECTORY "${WORK}"
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
  if(NOT code STREQUAL expected_code)
    message(SEND_ERROR "rovantctl ${ARGN}: exit ${code}, expected ${expected_code}\n${out}\n${err}")
  endif()
endfunction()

function(expect_contains text piece what)
  string(FIND "${text}" "${piece}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "${what}: '${piece}' not found in:\n${text}")
  endif()
endfunction()

function(hex_of file var)
  file(READ "${WORK}/${file}" content HEX)
  set(${var} "${content}" PARENT_SCOPE)
endfunction()

function(size_of file var)
  file(SIZE "${WORK}/${file}" size)
  set(${var} "${size}" PARENT_SCOPE)
endfunction()

function(expect_equal actual expected what)
  if(NOT "${actual}" STREQUAL "${expected}")
    message(SEND_ERROR "${what}: got '${actual}', expected '${expected}'")
  endif()
endfunction()

# The factory defaults, byte for byte.
run(0 defaults -o factory.fom)
hex_of(factory.fom hex)
expect_equal("${hex}" "000000040500000009060600000801000103000000010000000004050000000906060000080100010300000001000100000003030006000000010000020002000a0a030304030000010001000101000001010100010100" "defaults")

# The setting text for each model, to a file and to standard output alike.
run(0 text --model HX310 -o t310.txt factory.fom)
size_of(t310.txt size)
expect_equal("${size}" "1112" "HX310 text length")
run(0 text -o t320.txt factory.fom)
size_of(t320.txt size)
expect_equal("${size}" "1160" "HX320 text length")
run(0 text --model other -o tother.txt factory.fom)
size_of(tother.txt size)
expect_equal("${size}" "1128" "other model text length")
run(0 text --model hx320 factory.fom)
string(LENGTH "${out}" length)
expect_equal("${length}" "1160" "text on standard output")
hex_of(t320.txt file_hex)
string(HEX "${out}" out_hex)
expect_equal("${out_hex}" "${file_hex}" "standard output and -o give the same bytes")
string(FIND "${out}" "\n" lf)
expect_equal("${lf}" "-1" "no line feed in the text")

# show, as a table and as JSON.
run(0 show factory.fom)
expect_contains("${out}" "MENU1     PITCH    \"10 CPI \"" "show table")
expect_contains("${out}" "HARDWARE  BAUD-RT  \"9600   \"" "show read-only row")
run(0 show --json --model HX310 factory.fom)
expect_contains("${out}" "\"model\": \"HX310\"" "show json model")
expect_contains("${out}" "\"value\": \"13.6 IN\"" "show json width")

# set: labels of the list in force, EMULATE reset, refusals leave the file alone.
file(COPY_FILE "${WORK}/factory.fom" "${WORK}/edit.fom")
run(0 set edit.fom "MENU1.PITCH=12 CPI" "CONFIG.LOCK=SETUP  " "adjust.cnt-lft=- 9/90")
expect_contains("${out}" "MENU1 PITCH: \"10 CPI \" -> \"12 CPI \"" "set reports the change")
hex_of(edit.fom hex)
string(SUBSTRING "${hex}" 6 2 pitch)
expect_equal("${pitch}" "05" "PITCH stored as position 5")
string(SUBSTRING "${hex}" 156 2 lock)
expect_equal("${lock}" "01" "LOCK stored as position 1")
string(SUBSTRING "${hex}" 128 2 left)
expect_equal("${left}" "01" "CNT-LFT stored as position 1")

run(0 set edit.fom "MENU2.EMULATE=ESC/P2")
hex_of(edit.fom hex)
string(SUBSTRING "${hex}" 46 2 emulate)
string(SUBSTRING "${hex}" 62 2 page_length)
string(SUBSTRING "${hex}" 72 2 language)
expect_equal("${emulate}${page_length}${language}" "020e0c" "ESC/P2 reset of MENU2")

hex_of(edit.fom before)
run(1 set edit.fom "MENU1.PITCH=13 CPI")
expect_contains("${err}" "is not a value of this item" "unknown label")
run(1 set edit.fom "MENU1.PITCH=15 CPI" "HARDWARE.BAUD-RT=1200")
expect_contains("${err}" "HARDWARE BAUD-RT is shown but never changed" "read-only item")
run(1 set edit.fom "MENU3.PITCH=12 CPI")
run(1 set edit.fom "MENU1.WIDE=12 CPI")
run(1 set edit.fom "PITCH")
hex_of(edit.fom after)
expect_equal("${after}" "${before}" "refused assignments leave the file unchanged")

# diff: 0 equal, 1 different, 2 trouble.
run(0 diff factory.fom factory.fom)
run(1 diff factory.fom edit.fom)
expect_contains("${out}" "MENU1 PITCH" "diff lists PITCH")
expect_contains("${out}" "\"10 CPI \" | \"12 CPI \"" "diff shows both labels")
run(2 diff factory.fom missing.fom)
expect_contains("${err}" "missing.fom: no such file" "diff names the missing file")

# Damaged files are refused with the reason and the item.
file(WRITE "${WORK}/empty.fom" "")
run(1 show empty.fom)
expect_contains("${err}" "empty.fom: the file is empty" "empty file")
file(WRITE "${WORK}/short.fom" "0123456789")
run(1 text short.fom)
expect_contains("${err}" "holds only 10 bytes" "short file")
string(REPEAT "(" 87 parentheses)  # every byte 40: far outside most lists
file(WRITE "${WORK}/damaged.fom" "${parentheses}")
run(1 show damaged.fom)
expect_contains("${err}" "damaged setting file" "damaged file")
expect_contains("${err}" "MENU1 EMULATE (stored 40, list of 3)" "damaged file names the item")

# A value that exists under one emulation only.
file(COPY_FILE "${WORK}/factory.fom" "${WORK}/fonts.fom")
run(0 set fonts.fom "MENU1.FONT=DOWNLD1")
run(0 set fonts.fom "MENU1.EMULATE=XL24E" "MENU1.FONT=DOWNLD0")
run(1 set fonts.fom "MENU1.FONT=DOWNLD1")
expect_contains("${err}" "not a value of this item here" "DOWNLD1 does not exist under XL24E")

# Usage errors exit 2; help exits 0 and tells every command.
run(2)
run(2 show)
run(2 show --model HX999 factory.fom)
run(2 frobnicate)
run(0 --help)
foreach(command defaults show text set diff)
  expect_contains("${out}" "${command}" "help lists ${command}")
endforeach()
run(0 set --help)
expect_contains("${out}" "BLOCK.ITEM=VALUE" "set help")
