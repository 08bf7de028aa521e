# Reads the built plug-in's export and import tables: exactly the five functions of the interface,
# undecorated, and no DLL beyond the system's own.
# Run as: cmake -DOBJDUMP=... -DPLUGIN=... -P CheckExports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${PLUGIN} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} could not read ${PLUGIN}")
endif()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)+" table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [A-Za-z_@0-9]+" entries "${table}")
set(names)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${entry}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
set(expected GetPicture GetPictureInfo GetPluginInfo GetPreview IsSupported)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exports are '${names}', expected '${expected}'")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" import)
  if(NOT import MATCHES "dll name: (kernel32|msvcrt)\\.dll")
    message(FATAL_ERROR "the plug-in needs a DLL that Windows does not bring: ${import}")
  endif()
endforeach()
message(STATUS "exports: ${names}")
