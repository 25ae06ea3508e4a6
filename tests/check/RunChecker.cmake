# Runs the Windows build of lorvane-check through the emulator and compares
# its outcome, for the cross build's tests. Output goes through files: Wine's
# background services would keep a pipe open.
#   -DEMULATOR= -DPROGRAM= -DARGS=a;b -DWORK_DIR= -DEXPECT_EXIT=n
#   [-DEXPECT_OUT_FILE=path] [-DEXPECT_OUT_HAS=text] [-DEXPECT_ERR=text]
set(out ${WORK_DIR}/out.txt)
set(err ${WORK_DIR}/err.txt)
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGS}
  RESULT_VARIABLE code OUTPUT_FILE ${out} ERROR_FILE ${err} INPUT_FILE /dev/null)
file(READ ${out} stdout)
file(READ ${err} stderr)
# The C library's text mode writes carriage returns before line feeds.
string(REPLACE "\r\n" "\n" stdout "${stdout}")
string(REPLACE "\r\n" "\n" stderr "${stderr}")

if(NOT code EQUAL EXPECT_EXIT)
  message(FATAL_ERROR "exit code ${code}, expected ${EXPECT_EXIT}; stderr:\n${stderr}")
endif()
if(DEFINED EXPECT_ERR)
  if(NOT stderr STREQUAL "${EXPECT_ERR}\n")
    message(FATAL_ERROR "stderr:\n${stderr}expected:\n${EXPECT_ERR}")
  endif()
elseif(NOT stderr STREQUAL "")
  message(FATAL_ERROR "unexpected stderr:\n${stderr}")
endif()
if(DEFINED EXPECT_OUT_FILE)
  file(READ ${EXPECT_OUT_FILE} expected)
  if(NOT stdout STREQUAL expected)
    message(FATAL_ERROR "stdout:\n${stdout}\nexpected (${EXPECT_OUT_FILE}):\n${expected}")
  endif()
endif()
if(DEFINED EXPECT_OUT_HAS)
  string(FIND "${stdout}" "${EXPECT_OUT_HAS}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "stdout lacks \"${EXPECT_OUT_HAS}\":\n${stdout}")
  endif()
endif()
