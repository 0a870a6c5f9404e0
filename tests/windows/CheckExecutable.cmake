# Checks Kestro.exe as it ships: it imports system DLLs only, and its
# resources hold the five dialog templates (their controls are checked
# against the control table in WindowsTest.cpp), the string table and the
# icons.
# cmake -DEXECUTABLE=... -DWINDRES=... -DOBJDUMP=... -P CheckExecutable.cmake

cmake_minimum_required(VERSION 3.25)

set(failures "")
macro(fail message)
  string(APPEND failures "  ${message}\n")
endmacro()

execute_process(COMMAND ${OBJDUMP} -p ${EXECUTABLE} OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${EXECUTABLE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
set(system_dlls KERNEL32.DLL USER32.DLL GDI32.DLL COMCTL32.DLL COMDLG32.DLL SHELL32.DLL MSVCRT.DLL ADVAPI32.DLL)
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOUPPER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls)
    fail("imports ${dll}, which is not a Windows system DLL")
  endif()
endforeach()
if(NOT imports)
  fail("no imports found")
endif()

execute_process(COMMAND ${WINDRES} -i ${EXECUTABLE} -O rc OUTPUT_VARIABLE rc RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "windres could not read the resources of ${EXECUTABLE}")
endif()

# Template headers: ID, kind, position and size.
foreach(header IN ITEMS
    "146 DIALOGEX[^\n]* 400, 50, 235, 38"
    "100 DIALOG[^\n]* 0, 0, 167, 56"
    "137 DIALOG[^\n]* 0, 0, 91, 150"
    "173 DIALOG[^\n]* 0, 0, 181, 157"
    "198 DIALOG[^\n]* 0, 0, 191, 136")
  if(NOT rc MATCHES "${header}")
    fail("no dialog template \"${header}\"")
  endif()
endforeach()
if(NOT rc MATCHES "CAPTION \"Pelvane: Drag & Drop TeX file\"")
  fail("the bar's caption is missing")
endif()
if(NOT rc MATCHES "STYLE 0x90ca02c3")
  fail("the bar's styles differ")
endif()
if(NOT rc MATCHES "EXSTYLE 0x40010")
  fail("the bar's extended styles differ")
endif()

foreach(id IN ITEMS 101 1000 1002 1008 1009 1011)
  if(NOT rc MATCHES "\n  ${id}, L?\"")
    fail("string ${id} is missing")
  endif()
endforeach()
if(NOT rc MATCHES "\n  101, L\"Kestro \\\\x306e")
  fail("string 101 does not hold the version box item")
endif()

foreach(id IN ITEMS 128 131 133 135 136 138 139)
  if(NOT rc MATCHES "\n${id} 14 /\\* RT_GROUP_ICON")
    fail("icon ${id} is missing")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "Kestro.exe:\n${failures}")
endif()
message(STATUS "Kestro.exe: system imports only, resources complete")
