# The Python interpreter of the build steps and the tests, found once.
# A version manager's shim is a script that chooses the interpreter again at
# every start (a third of a second each, hundreds of times a test run), so
# the interpreter it chose, as Python itself names it, is the one used.
include_guard(GLOBAL)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
execute_process(COMMAND ${Python3_EXECUTABLE} -c "import sys; print(sys.executable)"
  OUTPUT_VARIABLE LORVANE_PYTHON OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE python_result)
if(NOT python_result EQUAL 0 OR NOT EXISTS "${LORVANE_PYTHON}")
  set(LORVANE_PYTHON ${Python3_EXECUTABLE})
endif()
