# Runs rovantctl through its commands and checks exit codes, output and files.
# Inputs: ROVANTCTL (the program), EMULATOR (empty natively), WORK (a scratch folder),
# VERSION_TEXT (the product version, "2.00").

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(PROGRAM "${ROVANTCTL}")
include(${CMAKE_CURRENT_LIST_DIR}/run_expect.cmake)

# The product's one version number, as the program's version message and resource show it.
run(0 --version)
string(STRIP "${out}" out)
expect_equal("${out}" "rovantctl ${VERSION_TEXT}" "--version")

# The factory defaults, byte for byte.
run(0 defaults -o factory.fom)
file(READ "${WORK}/factory.fom" factory_hex HEX)
expect_equal("${factory_hex}" "000000040500000009060600000801000103000000010000000004050000000906060000080100010300000001000100000003030006000000010000020002000a0a030304030000010001000101000001010100010100" "defaults")

# The setting text for each model, to a file and to standard output alike, without line feeds.
run(0 text --model HX310 -o t310.txt factory.fom)
file(SIZE "${WORK}/t310.txt" size)
expect_equal("${size}" "1112" "HX310 text length")
run(0 text -o t320.txt factory.fom)
run(0 text --model hx320 factory.fom)
file(READ "${WORK}/t320.txt" file_hex HEX)
string(HEX "${out}" out_hex)
expect_equal("${out_hex}" "${file_hex}" "standard output and -o give the same bytes")
string(LENGTH "${out}" length)
string(FIND "${out}" "\n" lf)
expect_equal("${length} ${lf}" "1160 -1" "HX320 text length, no line feed")

# show, as a table and as JSON.
run_expect(0 out "MENU1     PITCH    \"10 CPI \"" show factory.fom)
expect_contains("${out}" "HARDWARE  BAUD-RT  \"9600   \"" "show read-only row")
run_expect(0 out "\"model\": \"HX310\"" show --json --model HX310 factory.fom)
expect_contains("${out}" "\"value\": \"13.6 IN\"" "show json width")

# set: labels of the list in force, EMULATE reset, refusals leave the file alone.
file(COPY_FILE "${WORK}/factory.fom" "${WORK}/edit.fom")
run_expect(0 out "MENU1 PITCH: \"10 CPI \" -> \"12 CPI \""
  set edit.fom "MENU1.PITCH=12 CPI" "CONFIG.LOCK=SETUP  " "adjust.cnt-lft=- 9/90")
file(READ "${WORK}/edit.fom" hex HEX)
string(SUBSTRING "${hex}" 6 2 pitch)
string(SUBSTRING "${hex}" 156 2 lock)
string(SUBSTRING "${hex}" 128 2 left)
expect_equal("${pitch} ${lock} ${left}" "05 01 01" "PITCH, LOCK and CNT-LFT stored as positions")

run(0 set edit.fom "MENU2.EMULATE=ESC/P2")
file(READ "${WORK}/edit.fom" before HEX)
string(SUBSTRING "${before}" 46 2 emulate)
string(SUBSTRING "${before}" 62 2 page_length)
string(SUBSTRING "${before}" 72 2 language)
expect_equal("${emulate}${page_length}${language}" "020e0c" "ESC/P2 reset of MENU2")

run_expect(1 err "is not a value of this item" set edit.fom "MENU1.PITCH=13 CPI")
run_expect(1 err "HARDWARE BAUD-RT is shown but never changed"
  set edit.fom "MENU1.PITCH=15 CPI" "HARDWARE.BAUD-RT=1200")
run(1 set edit.fom "MENU3.PITCH=12 CPI")
run(1 set edit.fom "MENU1.WIDE=12 CPI")
run(1 set edit.fom "PITCH")
file(READ "${WORK}/edit.fom" after HEX)
expect_equal("${after}" "${before}" "refused assignments leave the file unchanged")

# diff: 0 equal, 1 different, 2 trouble.
run(0 diff factory.fom factory.fom)
run_expect(1 out "MENU1 PITCH     \"10 CPI \" | \"12 CPI \"" diff factory.fom edit.fom)
run_expect(2 err "missing.fom: no such file" diff factory.fom missing.fom)

# Damaged files are refused with the reason and the item.
file(WRITE "${WORK}/empty.fom" "")
run_expect(1 err "empty.fom: the file is empty" show empty.fom)
file(WRITE "${WORK}/short.fom" "0123456789")
run_expect(1 err "holds only 10 bytes" text short.fom)
string(REPEAT "(" 87 parentheses)  # every byte 40: far outside most lists
file(WRITE "${WORK}/damaged.fom" "${parentheses}")
run_expect(1 err "damaged setting file" show damaged.fom)
expect_contains("${err}" "MENU1 EMULATE (stored 40, list of 3)" "damaged file names the item")

# A value that exists under one emulation only.
file(COPY_FILE "${WORK}/factory.fom" "${WORK}/fonts.fom")
run(0 set fonts.fom "MENU1.FONT=DOWNLD1")
run(0 set fonts.fom "MENU1.EMULATE=XL24E" "MENU1.FONT=DOWNLD0")
run_expect(1 err "not a value of this item here" set fonts.fom "MENU1.FONT=DOWNLD1")

# decode: a reply file parsed as a read would.
file(WRITE "${WORK}/reply.bin" "?MODEL  :HX310  \r\n?NVRAM  :MENU1   :PITCH   :12 CPI \r\nMENU2   :LINE SP :9 LPI  \r\n")
run_expect(0 out "{\"result\":1,\"record\":[0,0,0,5,5," decode --json reply.bin)
expect_contains("${out}" "\"bad_items\":[126],\"connected_model\":0}" "decode bad items")
run_expect(1 out "\"result\":-1" decode --mode 7 --json reply.bin)
expect_contains("${out}" "\"connected_model\":17" "decode connected model")
run_expect(0 out "bad items: 126 (MENU2 LINE-SP)" decode --mode 7 --model HX310 reply.bin)
run(1 decode missing.bin)
run(2 decode --mode 2 reply.bin)

# The simulated printer: transfer, read back, factory default, list printing.
run_expect(0 err "The contents of a setting are written in the printer"
  transfer --printer sim:HX320 --state printer.state edit.fom)
expect_contains("${err}" "waiting 2.0 s" "transfer shows its wait")
file(READ "${WORK}/printer.state" memory HEX)
expect_equal("${memory}" "${before}" "the printer stored what was transferred")
run_expect(0 out "MENU1     PITCH    \"12 CPI \""
  read --printer sim:HX320 --state printer.state -o readback.fom)
file(READ "${WORK}/readback.fom" readback HEX)
expect_equal("${readback}" "${before}" "read gives back what was transferred")
run_expect(1 err "Different printer is connected." read --printer sim:HX310 --model HX320)
run_expect(0 out "MENU1     PITCH    \"10 CPI \"" default --printer sim:HX320 --state printer.state)
file(READ "${WORK}/printer.state" memory HEX)
expect_equal("${memory}" "${factory_hex}" "factory default stored")
run(0 list --printer sim:HX310 --paper paper.txt)
file(SIZE "${WORK}/paper.txt" paper_size)
if(paper_size LESS 100)
  message(SEND_ERROR "list printing wrote ${paper_size} bytes of paper")
endif()
run_expect(2 err "unknown printer \"lpt1\"" read --printer lpt1)

# A printer's device file: the path must be absolute; only POSIX builds open one.
run_expect(2 err "the device file's absolute path is expected" read --printer usb:lp0)
run_expect(2 err "the device file's absolute path is expected" read --printer parallel:)
run(0 read --help)
if(WINDOWS_BUILD)
  string(FIND "${out}" "usb:" listed)
  expect_equal("${listed}" "-1" "read help leaves out device printers on Windows")
  run_expect(2 err "not supported by the Windows build" read --printer usb:/dev/usb/lp0)
else()
  expect_contains("${out}" "usb:/dev/usb/lpN" "read help names device printers")
  expect_contains("${out}" "parallel:/dev/lpN" "read help names the parallel form")
  run_expect(1 err
    "there is no printer device /dev/usb/rovant-no-such-printer: the printer is not connected"
    read --printer usb:/dev/usb/rovant-no-such-printer)
  expect_contains("${err}" "There is no response from Printer." "missing USB printer message")
  run_expect(1 err "there is no printer device /dev/rovant-no-such-lp"
    transfer --printer PARALLEL:/dev/rovant-no-such-lp edit.fom)
  run_expect(1 err "--state is ignored"
    read --printer usb:/dev/usb/rovant-no-such-printer --state printer.state)

  # Output that cannot be written fails with the system's reason.
  foreach(command "show;factory.fom" "show;--json;factory.fom" "decode;reply.bin"
                  "read;--printer;sim:HX320" "read;--json;--printer;sim:HX320"
                  "list;--printer;sim:HX320" "diff;factory.fom;edit.fom")
    run_into(/dev/full 1 ${command})
    expect_contains("${err}" "writing to standard output failed: No space left on device"
      "${command} into a full disk")
  endforeach()

  # A named pipe as a setting file is refused at once, not waited on.
  execute_process(COMMAND mkfifo "${WORK}/pipe.fom" COMMAND_ERROR_IS_FATAL ANY)
  foreach(command show decode)
    run_expect(1 err "a named pipe (FIFO), not a regular file" ${command} pipe.fom)
    expect_contains("${err}" "rovantctl: pipe.fom: " "${command} names the pipe")
  endforeach()

  # Errors name the file and the system's reason.
  run_expect(1 err "no-folder/x.fom: cannot create a file there: No such file or directory"
    defaults -o no-folder/x.fom)
  file(MAKE_DIRECTORY "${WORK}/folder.fom")
  run_expect(1 err "folder.fom: cannot open the file: a folder, not a file" show folder.fom)
  string(REPEAT "n" 250 long)
  run(0 defaults -o ${long}.fom)
  file(SIZE "${WORK}/${long}.fom" size)
  expect_equal("${size}" "87" "a 254-character name")
endif()

# An empty name is said to be empty (execute_process: an empty argument does not survive a list).
foreach(command defaults show)
  execute_process(COMMAND ${EMULATOR} "${ROVANTCTL}" ${command} -o "" factory.fom
    WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE code ERROR_VARIABLE err)
  expect_equal("${code}" "2" "${command} -o ''")
  expect_contains("${err}" "-o: the file name is empty" "${command} -o ''")
endforeach()
execute_process(COMMAND ${EMULATOR} "${ROVANTCTL}" show ""
  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE code ERROR_VARIABLE err)
expect_equal("${code}" "1" "show ''")
expect_contains("${err}" "the file name is empty" "empty input name")

# The state file of the simulated printer: exactly 87 bytes, as the simulator wants it.
file(COPY_FILE "${WORK}/factory.fom" "${WORK}/long.state")
file(APPEND "${WORK}/long.state" "x")
run_expect(1 err "state file long.state: longer than 87 bytes"
  read --printer sim:HX320 --state long.state)
file(SIZE "${WORK}/long.state" size)
expect_equal("${size}" "88" "the refused state file is kept")

# Usage errors exit 2; help exits 0 and tells every command.
run(2)
run(2 show)
run(2 show --model HX999 factory.fom)
run(2 frobnicate)
run(0 --help)
foreach(command defaults show text set diff)
  expect_contains("${out}" "${command}" "help lists ${command}")
endforeach()
run_expect(0 out "BLOCK.ITEM=VALUE" set --help)

# A model name that is none of them: said in words, not in the codes behind the names.
run_expect(2 err "HX310, HX320 or other expected, not \"HX330\"" text --model HX330 factory.fom)
run_expect(0 out "{HX310,HX320,other}" read --help)
