# Script mode: makes a delay-import library from a toolchain's import library, so that a program
# linked with it binds the DLL when its code asks (mingw's __delayLoadHelper2) rather than when the
# loader starts the program. Every function of the import library is listed.
#   cmake -DNM=... -DDLLTOOL=... -DIMPORTS=libuser32.a -DDLL=USER32.dll -DOUT=dir/libuser32.a
#         [-DDECORATED=ON] -P DelayImportLib.cmake
# DECORATED: 32-bit names with a leading underscore and @n, which the DLL exports without.
execute_process(COMMAND ${NM} ${IMPORTS} OUTPUT_VARIABLE symbols ERROR_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot list ${IMPORTS}")
endif()
if(DECORATED)
  set(prefix "__imp__")
else()
  set(prefix "__imp_")
endif()
string(REGEX MATCHALL " I ${prefix}[^\n]+" lines "${symbols}")
set(names)
foreach(line ${lines})
  string(REPLACE " I ${prefix}" "" name "${line}")
  list(APPEND names ${name})
endforeach()
list(REMOVE_DUPLICATES names)
if(NOT names)
  message(FATAL_ERROR "no functions found in ${IMPORTS}")
endif()
list(JOIN names "\n" exports)
file(WRITE ${OUT}.def "LIBRARY ${DLL}\nEXPORTS\n${exports}\n")
set(kill_at)
if(DECORATED)
  set(kill_at --kill-at)
endif()
# Made in its own folder: dlltool names the library's descriptor after the file name as given
# (libuser32.a: __DELAY_IMPORT_DESCRIPTOR_libuser32_a), which the program's entry refers to.
get_filename_component(dir ${OUT} DIRECTORY)
get_filename_component(name ${OUT} NAME)
execute_process(COMMAND ${DLLTOOL} --input-def ${name}.def --dllname ${DLL} ${kill_at} --output-delaylib ${name}
  WORKING_DIRECTORY ${dir} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dlltool failed for ${DLL}")
endif()
