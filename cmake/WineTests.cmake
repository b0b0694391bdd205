# Registers the Windows-side tests with this (native) build's CTest, so that
# one ctest run covers all three levels. They run the executables of the
# cross build in KESTRO_WIN_BUILD under Wine.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(_e2e ${CMAKE_SOURCE_DIR}/tests/e2e)

# Adapter tests: one CTest test per GoogleTest suite, each in its own prefix.
file(GLOB _win_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
set(_suites "")
foreach(_src ${_win_sources})
  file(STRINGS ${_src} _lines REGEX "^TEST(_F)?\\(")
  foreach(_line ${_lines})
    string(REGEX REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+),.*" "\\2" _suite "${_line}")
    list(APPEND _suites ${_suite})
  endforeach()
endforeach()
list(REMOVE_DUPLICATES _suites)
foreach(_suite ${_suites})
  add_test(NAME win.${_suite} COMMAND ${Python3_EXECUTABLE} ${_e2e}/wintests.py ${_suite})
  set_tests_properties(win.${_suite} PROPERTIES TIMEOUT 300)
endforeach()

# End-to-end tests: every "def test_..." of tests/e2e/test_*.py.
file(GLOB _e2e_modules CONFIGURE_DEPENDS ${_e2e}/test_*.py)
foreach(_module_file ${_e2e_modules})
  get_filename_component(_module ${_module_file} NAME_WE)
  file(STRINGS ${_module_file} _defs REGEX "^def test_")
  foreach(_def ${_defs})
    string(REGEX REPLACE "^def (test_[A-Za-z0-9_]+).*" "\\1" _fn "${_def}")
    string(REGEX REPLACE "^test_" "" _short "${_module}")
    string(REGEX REPLACE "^test_" "" _fshort "${_fn}")
    add_test(NAME e2e.${_short}.${_fshort} COMMAND ${Python3_EXECUTABLE} ${_e2e}/run.py ${_module} ${_fn})
    set_tests_properties(e2e.${_short}.${_fshort} PROPERTIES TIMEOUT 300)
  endforeach()
endforeach()
