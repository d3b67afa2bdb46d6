# Creates the Wine prefix PREFIX unless it is there already, and waits until Wine has written
# it out. Run with WINEPREFIX=PREFIX in the environment.
if(EXISTS "${PREFIX}/system.reg")
  return()
endif()
execute_process(COMMAND wineboot -i RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "wineboot -i failed (${result})")
endif()
# With DPI, the prefix's displays have that many dots per inch.
if(DPI)
  execute_process(COMMAND wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD
                          /d ${DPI} /f OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
endif()
# wineboot returns before the server has saved the registry.
execute_process(COMMAND wineserver -w)
if(NOT EXISTS "${PREFIX}/system.reg")
  message(FATAL_ERROR "no Wine prefix in ${PREFIX}")
endif()
