cmake_minimum_required(VERSION 3.25)

# Checks a Windows DLL as a musician's machine sees it: it exports exactly the names wanted and
# imports only DLLs that come with Windows. Prints what it finds and each problem on a line.
#   cmake -DOBJDUMP=<objdump> -DDLL=<file> -DEXPORTS=<name,name> -P check_dll.cmake

# Windows' own DLLs that the framework and the runtime call into.
set(system_dlls advapi32 comdlg32 dxgi gdi32 imm32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi
                user32 version wininet winmm ws2_32 wsock32)

string(REPLACE "," ";" EXPORTS "${EXPORTS}")

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${DLL}")
endif()

# Exports: the entries "[   0] name" of the name pointer table, which ends at a blank line.
# Imports: the lines "DLL Name: name".
string(REPLACE ";" "," dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")
set(exports)
set(imports)
set(in_export_table FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "Ordinal/Name Pointer. Table")
    set(in_export_table TRUE)
  elseif(in_export_table AND line MATCHES "^[ \t]*.[ ]*[0-9]+. (.+)$")
    list(APPEND exports "${CMAKE_MATCH_1}")
  elseif(in_export_table)
    set(in_export_table FALSE)
  endif()
  if(line MATCHES "DLL Name: (.+)$")
    list(APPEND imports "${CMAKE_MATCH_1}")
  endif()
endforeach()

message("exports: ${exports}")
message("imports: ${imports}")

set(problems 0)
foreach(name IN LISTS EXPORTS)
  if(NOT name IN_LIST exports)
    message("export missing: ${name}")
    math(EXPR problems "${problems} + 1")
  endif()
endforeach()
foreach(name IN LISTS exports)
  if(NOT name IN_LIST EXPORTS)
    message("export not wanted: ${name}")
    math(EXPR problems "${problems} + 1")
  endif()
endforeach()
foreach(name IN LISTS imports)
  string(TOLOWER "${name}" lower)
  string(REGEX REPLACE "\\.dll$" "" base "${lower}")
  if(NOT base IN_LIST system_dlls)
    message("not a Windows DLL: ${name}")
    math(EXPR problems "${problems} + 1")
  endif()
endforeach()
if(imports STREQUAL "")
  message("no imports found: not a DLL objdump understands")
  math(EXPR problems "${problems} + 1")
endif()

if(problems GREATER 0)
  message(FATAL_ERROR "${DLL}: ${problems} problem(s)")
endif()
message("${DLL}: exports and imports as a host needs them")
