# Import libraries that load their DLL on the first call instead of at
# process start: the shell, COM, the common controls and the common dialogs
# are not needed until the panel is on screen, and loading them first would
# delay it.
function(kestro_delay_import_library out name)
  set(dir ${CMAKE_BINARY_DIR}/delayimp)
  set(lib ${dir}/lib${name}_delay.a)
  if(NOT EXISTS ${lib})
    file(MAKE_DIRECTORY ${dir})
    find_file(_import lib${name}.a PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH NO_CACHE REQUIRED)
    execute_process(COMMAND x86_64-w64-mingw32-nm ${_import} OUTPUT_VARIABLE _symbols COMMAND_ERROR_IS_FATAL ANY)
    # Only the library's own imports (" I "): some import libraries (ws2_32)
    # carry helpers that refer to kernel32's LoadLibraryA and GetProcAddress,
    # which the delay-load helper itself must not reach through the library.
    string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@]+" _imports "${_symbols}")
    list(REMOVE_DUPLICATES _imports)
    set(_def "LIBRARY ${name}.dll\nEXPORTS\n")
    foreach(_i IN LISTS _imports)
      string(REPLACE " I __imp_" "" _f "${_i}")
      string(APPEND _def "${_f}\n")
    endforeach()
    file(WRITE ${dir}/${name}.def "${_def}")
    execute_process(COMMAND x86_64-w64-mingw32-dlltool --input-def ${dir}/${name}.def --dllname ${name}.dll
                            --output-delaylib ${lib} COMMAND_ERROR_IS_FATAL ANY)
  endif()
  set(${out} ${lib} PARENT_SCOPE)
endfunction()
