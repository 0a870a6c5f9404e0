# Checks Kestro.exe as it ships: it imports system DLLs only, and its
# resources hold the five dialog templates with their positions, sizes and
# control IDs, the string table and the icons.
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

# Controls: "ID, x, y, width, height" of each template (the bar's
# extended template keeps 32-bit IDs, the others 16-bit ones: -1 is 65535).
set(controls
  # 146, the bar
  "1017, 24, 23, 162, 186" "1000, 0, 0, 22, 21" "1001, 190, 23, 45, 12" "1002, 54, 0, 22, 21"
  "1008, 78, 0, 22, 21" "1009, 187, 0, 22, 21" "1010, 213, 0, 22, 21" "1011, 30, 0, 22, 21"
  "-1, 4, 25, 16, 8"
  # 100, the version box
  "65535, 11, 17, 20, 20" "65535, 40, 10, 64, 8" "1, 110, 7, 50, 14" "65535, 42, 22, 78, 8" "65535, 73, 36, 45, 8"
  # 137, the settings panel
  "1, 7, 128, 77, 14" "1004, 7, 7, 77, 14" "32772, 7, 21, 77, 14" "32774, 7, 37, 77, 14"
  "32775, 7, 52, 77, 14" "32778, 7, 68, 77, 14" "32777, 7, 83, 77, 14" "32776, 7, 99, 77, 14"
  # 173, the paper size dialog
  "65535, 13, 12, 95, 26" "1, 113, 7, 50, 14" "2, 113, 24, 50, 14" "1012, 25, 57, 143, 10"
  "1013, 25, 71, 102, 10" "65535, 10, 45, 142, 8" "65535, 11, 86, 151, 9" "1042, 10, 105, 24, 10"
  "1043, 38, 105, 24, 10" "1044, 66, 105, 24, 10" "1045, 95, 105, 24, 10" "1055, 128, 105, 41, 10"
  "1046, 11, 120, 24, 10" "1047, 38, 120, 24, 10" "1048, 66, 120, 24, 10" "1049, 95, 120, 24, 10"
  "1050, 128, 120, 33, 10" "1051, 11, 135, 29, 10" "1052, 49, 135, 29, 10" "1053, 87, 135, 30, 10"
  "1054, 128, 135, 37, 10"
  # 198, the index options dialog
  "1, 134, 7, 50, 14" "2, 134, 24, 50, 14" "1121, 18, 63, 149, 14" "65535, 9, 9, 121, 39"
  "65535, 21, 52, 39, 8" "1012, 12, 99, 144, 10" "65535, 11, 84, 166, 8" "65535, 11, 116, 155, 8")
foreach(control IN LISTS controls)
  string(REGEX MATCH "^(-?[0-9]+), (.*)$" parts "${control}")
  set(id "${CMAKE_MATCH_1}")
  set(position "${CMAKE_MATCH_2}")
  if(NOT rc MATCHES "[ \n]${id}, ([^\n]*, )?${position}(,|\n)")
    fail("no control at \"${control}\"")
  endif()
endforeach()

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
