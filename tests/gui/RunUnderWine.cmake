# Runs a QtTest program under wine on the offscreen platform and prints its log; fails
# when the program does. Wine hands no QT_* variable to a Windows program, hence the
# platform as an argument, and a QtTest program there writes nothing to a pipe, hence
# the log file.
# cmake -DWINE=wine-run -DPROGRAM=test.exe -DLOG=test.log -P RunUnderWine.cmake
file(REMOVE "${LOG}")
execute_process(COMMAND ${WINE} "${PROGRAM}" -platform offscreen -o "${LOG},txt" RESULT_VARIABLE status)
if(EXISTS "${LOG}")
    file(READ "${LOG}" log)
    message("${log}")
endif()
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ended with ${status}")
endif()
