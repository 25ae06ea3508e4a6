# The Windows console checker writes an export over an earlier file (a
# plain rename refuses to there) and leaves no temporary file behind.
#   -DEMULATOR= -DPROGRAM= -DRULES= -DWORK_DIR=
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(target ${WORK_DIR}/chart.svg)
file(WRITE ${target} "earlier")
execute_process(COMMAND ${EMULATOR} ${PROGRAM} --svg ${target} ${RULES}
  RESULT_VARIABLE code OUTPUT_FILE ${WORK_DIR}/out.txt ERROR_FILE ${WORK_DIR}/err.txt
  INPUT_FILE /dev/null)
file(READ ${WORK_DIR}/err.txt stderr)
file(READ ${target} svg)
string(FIND "${svg}" "<?xml version=" begins)
string(FIND "${svg}" "</svg>\n" ends REVERSE)
string(LENGTH "${svg}" length)
math(EXPR whole "${length} - 7")
file(GLOB left ${WORK_DIR}/*.tmp)
if(NOT code EQUAL 0 OR NOT begins EQUAL 0 OR NOT ends EQUAL whole OR left)
  message(FATAL_ERROR "exit code ${code}, ${length} bytes, left: ${left}\n${stderr}")
endif()
