# Delay-loaded system DLLs: their functions load the DLL on the first call (through mingw's
# __delayLoadHelper2) instead of at start-up. dlltool makes the import library from a definition
# file naming the functions, which are those the CALLERS (static libraries) call or the FUNCTIONS
# listed, in the i686 decorated form (SetWindowSubclass@16). murlox_delay_<name> is linked in place
# of <name>; a function missing from it is taken from <name> itself, linked after it, as usual.
#
# ld drops the load stub of a member of such a library unless the function's own symbol is
# referenced, which callers that go through __imp_ pointers never do (binutils bug 14339); the
# stub's address in the import table is then 0. Each function is therefore named with -u.
function(murlox_delay_load name)
  cmake_parse_arguments(PARSE_ARGV 1 delay "" "" "CALLERS;FUNCTIONS")
  find_library(murlox_import_${name} ${name} REQUIRED)
  # Every function of the DLL shows as its import address slot: "I __imp__socket@12" on i686.
  execute_process(COMMAND ${CMAKE_NM} -g ${murlox_import_${name}} OUTPUT_VARIABLE symbols
                  COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "I __imp__[^\r\n]+" slots "${symbols}")
  list(TRANSFORM slots REPLACE "^I __imp__" "")
  set(called ${delay_FUNCTIONS})
  if(delay_CALLERS)
    execute_process(COMMAND ${CMAKE_NM} -u ${delay_CALLERS} OUTPUT_VARIABLE wanted
                    COMMAND_ERROR_IS_FATAL ANY)
    # Called through the import slot, or directly where the header declares no dllimport.
    string(REGEX MATCHALL "U _(_imp__)?[^\r\n]+" calls "${wanted}")
    list(TRANSFORM calls REPLACE "^U _(_imp__)?" "")
    list(APPEND called ${calls})
  endif()
  list(REMOVE_DUPLICATES called)
  set(functions "")
  set(keep "")
  foreach(function IN LISTS called)
    if(function IN_LIST slots)
      list(APPEND functions ${function})
      list(APPEND keep "-Wl,-u,_${function}")
    elseif(function IN_LIST delay_FUNCTIONS)
      message(FATAL_ERROR "${name}.dll has no function ${function}")
    endif()
  endforeach()
  set(folder ${CMAKE_BINARY_DIR}/delay-load)
  set(def ${folder}/${name}.def)
  set(library ${folder}/lib${name}-delay.a)
  list(JOIN functions "\n" exports)
  file(WRITE ${def} "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
  # --kill-at: the DLL exports its stdcall functions without the @N the linker sees. dlltool names
  # the library's symbols after the path it is given, which is therefore the bare file name, the
  # same in every build folder.
  execute_process(COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${name}.def --dllname ${name}.dll
                          --output-delaylib lib${name}-delay.a
                  WORKING_DIRECTORY ${folder}
                  COMMAND_ERROR_IS_FATAL ANY)
  add_library(murlox_delay_${name} INTERFACE)
  target_link_libraries(murlox_delay_${name} INTERFACE ${library} ${name})
  target_link_options(murlox_delay_${name} INTERFACE ${keep})
endfunction()
