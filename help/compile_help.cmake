# Compiles the help project with chmcmd and fails on any warning or error it reports
# (chmcmd reports missing pages and broken links as warnings and still writes a file).
#
#   cmake -DCHMCMD=<chmcmd> -DSTAGE=<folder with rovant.hhp> -DOUTPUT=<path of ROVANT.CHM>
#         -DVERSION_TEXT=<product version> -P compile_help.cmake
#
# The staged pages name the product version as @ROVANT_VERSION_TEXT@; it is filled in first.
foreach(var CHMCMD STAGE OUTPUT VERSION_TEXT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "compile_help.cmake: ${var} is not set")
  endif()
endforeach()

set(ROVANT_VERSION_TEXT "${VERSION_TEXT}")
file(GLOB pages "${STAGE}/*.html")
foreach(page IN LISTS pages)
  configure_file("${page}" "${page}" @ONLY)
endforeach()

file(REMOVE "${STAGE}/ROVANT.CHM")
execute_process(
  COMMAND "${CHMCMD}" --html-scan --verbosity 1 rovant.hhp
  WORKING_DIRECTORY "${STAGE}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
set(log "${out}${err}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "chmcmd failed (exit code ${result}):\n${log}")
endif()
if(log MATCHES "(Warning|Error|error|does not exist|not found)")
  message(FATAL_ERROR "chmcmd reported problems in the help sources:\n${log}")
endif()
if(NOT EXISTS "${STAGE}/ROVANT.CHM")
  message(FATAL_ERROR "chmcmd wrote no ROVANT.CHM in ${STAGE}:\n${log}")
endif()
get_filename_component(outdir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${outdir}")
file(COPY_FILE "${STAGE}/ROVANT.CHM" "${OUTPUT}")
