# Runs rovantctl through its commands and checks exit codes, output and files.
# Inputs: ROVANTCTL (the program), EMULATOR (empty natively), WORK (a scratch folder),
# VERSION_TEXT (the product version, "2.00").

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(failures 0)

set(PROGRAM "${ROVANTCTL}")
include(${CMAKE_CURRENT_LIST_DIR}/run_expect.cmake)

# The product's one version number, as the program's version message and resource show it.
run(0 --version)
string(STRIP "${out}" out)
expect_equal("${out}" "rovantctl ${VERSION_TEXT}" "--version")

# The factory defaults, byte for byte.
run(0 defaults -o factory.fom)
hex_of(factory.fom hex)
set(factory_hex "${hex}")
expect_equal("${hex}" "000000040500000009060600000801000103000000010000000004050000000906060000080100010300000001000100000003030006000000010000020002000a0a030304030000010001000101000001010100010100" "defaults")

# The setting text for each model, to a file and to standard output alike.
run(0 text --model HX310 -o t310.txt factory.fom)
size_of(t310.txt size)
expect_equal("${size}" "1112" "HX310 text length")
run(0 text -o t320.txt factory.fom)
size_of(t320.txt size)
expect_equal("${size}" "1160" "HX320 text length")
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

# decode: a reply file parsed as a read would.
file(WRITE "${WORK}/reply.bin" "?MODEL  :HX310  \r\n?NVRAM  :MENU1   :PITCH   :12 CPI \r\nMENU2   :LINE SP :9 LPI  \r\n")
run(0 decode --json reply.bin)
expect_contains("${out}" "{\"result\":1,\"record\":[0,0,0,5,5," "decode result and record")
expect_contains("${out}" "\"bad_items\":[126],\"connected_model\":0}" "decode bad items")
run(1 decode --mode 7 --json reply.bin)
expect_contains("${out}" "\"result\":-1" "decode model mismatch")
expect_contains("${out}" "\"connected_model\":17" "decode connected model")
run(0 decode --mode 7 --model HX310 reply.bin)
expect_contains("${out}" "bad items: 126 (MENU2 LINE-SP)" "decode text")
run(1 decode missing.bin)
run(2 decode --mode 2 reply.bin)

# The simulated printer: transfer, read back, factory default, list printing.
run(0 transfer --printer sim:HX320 --state printer.state edit.fom)
expect_contains("${err}" "The contents of a setting are written in the printer" "transfer status")
expect_contains("${err}" "waiting 2.0 s" "transfer shows its wait")
hex_of(printer.state memory)
hex_of(edit.fom sent)
expect_equal("${memory}" "${sent}" "the printer stored what was transferred")
run(0 read --printer sim:HX320 --state printer.state -o readback.fom)
expect_contains("${out}" "MENU1     PITCH    \"12 CPI \"" "read shows the transferred value")
hex_of(readback.fom readback)
expect_equal("${readback}" "${sent}" "read gives back what was transferred")
run(1 read --printer sim:HX310 --model HX320)
expect_contains("${err}" "Different printer is connected." "another model")
run(0 default --printer sim:HX320 --state printer.state)
hex_of(printer.state memory)
expect_equal("${memory}" "${factory_hex}" "factory default stored")
expect_contains("${out}" "MENU1     PITCH    \"10 CPI \"" "default reads back")
run(0 list --printer sim:HX310 --paper paper.txt)
file(SIZE "${WORK}/paper.txt" paper_size)
if(paper_size LESS 100)
  message(SEND_ERROR "list printing wrote ${paper_size} bytes of paper")
endif()
run(2 read --printer lpt1)
expect_contains("${err}" "unknown printer \"lpt1\"" "unknown printer")

# A printer's device file: the path must be absolute; only POSIX builds open one.
run(2 read --printer usb:lp0)
expect_contains("${err}" "the device file's absolute path is expected" "relative device path")
run(2 read --printer parallel:)
expect_contains("${err}" "the device file's absolute path is expected" "empty device path")
run(0 read --help)
if(WINDOWS_BUILD)
  run(2 read --printer usb:/dev/usb/lp0)
  expect_contains("${err}" "not supported by the Windows build" "no device printers on Windows")
  string(FIND "${out}" "usb:" listed)
  expect_equal("${listed}" "-1" "read help leaves out device printers on Windows")
else()
  expect_contains("${out}" "usb:/dev/usb/lpN" "read help names device printers")
  expect_contains("${out}" "parallel:/dev/lpN" "read help names the parallel form")
  run(1 read --printer usb:/dev/usb/rovant-no-such-printer)
  expect_contains("${err}"
    "there is no printer device /dev/usb/rovant-no-such-printer: the printer is not connected"
    "missing USB printer explained")
  expect_contains("${err}" "There is no response from Printer." "missing USB printer message")
  run(1 transfer --printer PARALLEL:/dev/rovant-no-such-lp edit.fom)
  expect_contains("${err}" "there is no printer device /dev/rovant-no-such-lp" "missing parallel port")
  run(1 read --printer usb:/dev/usb/rovant-no-such-printer --state printer.state)
  expect_contains("${err}" "--state is ignored" "no state file for a device printer")

  # Output that cannot be written fails with the system's reason.
  if(EXISTS /dev/full)
    foreach(command "show;factory.fom" "show;--json;factory.fom" "decode;reply.bin"
                    "read;--printer;sim:HX320" "read;--json;--printer;sim:HX320"
                    "list;--printer;sim:HX320" "diff;factory.fom;edit.fom")
      run_into(/dev/full 1 ${command})
      expect_contains("${err}" "writing to standard output failed: No space left on device"
        "${command} into a full disk")
    endforeach()
  endif()

  # A named pipe as a setting file is refused at once, not waited on.
  execute_process(COMMAND mkfifo "${WORK}/pipe.fom" RESULT_VARIABLE made)
  if(made EQUAL 0)
    foreach(command show decode)
      execute_process(COMMAND "${ROVANTCTL}" ${command} pipe.fom WORKING_DIRECTORY "${WORK}"
        TIMEOUT 10 RESULT_VARIABLE code ERROR_VARIABLE err)
      expect_equal("${code}" "1" "${command} of a named pipe")
      expect_contains("${err}" "pipe.fom: " "${command} names the pipe")
      expect_contains("${err}" "a named pipe (FIFO), not a regular file" "${command} of a pipe")
    endforeach()
  endif()

  # Errors name the file and the system's reason.
  run(1 defaults -o no-folder/x.fom)
  expect_contains("${err}" "no-folder/x.fom: cannot create a file there: No such file or directory"
    "missing folder")
  file(MAKE_DIRECTORY "${WORK}/folder.fom")
  run(1 show folder.fom)
  expect_contains("${err}" "folder.fom: cannot open the file: a folder, not a file" "a folder")
endif()

# An empty name is said to be empty; a name of 254 characters works.
# (execute_process here: an empty argument does not survive a list.)
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
if(NOT WINDOWS_BUILD)
  string(REPEAT "n" 250 long)
  run(0 defaults -o ${long}.fom)
  size_of(${long}.fom size)
  expect_equal("${size}" "87" "a 254-character name")
endif()

# The state file of the simulated printer: exactly 87 bytes, as the simulator wants it.
file(COPY_FILE "${WORK}/factory.fom" "${WORK}/long.state")
file(APPEND "${WORK}/long.state" "x")
run(1 read --printer sim:HX320 --state long.state)
expect_contains("${err}" "state file long.state: longer than 87 bytes" "88-byte state file")
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
run(0 set --help)
expect_contains("${out}" "BLOCK.ITEM=VALUE" "set help")

# A model name that is none of them: said in words, not in the codes behind the names.
run(2 text --model HX330 factory.fom)
expect_contains("${err}" "HX310, HX320 or other expected, not \"HX330\"" "unknown model")
run(0 read --help)
expect_contains("${out}" "{HX310,HX320,other}" "model choices in help")
