# Registers a short run of every fuzz target of the clang build in
# KESTRO_FUZZ_BUILD with this (native) build's CTest: a few seconds from the
# seeds, so that a parser that crashes on them, or soon after, fails the tests.
include(${CMAKE_SOURCE_DIR}/fuzz/targets.cmake)
foreach(_name ${KESTRO_FUZZ_TARGETS})
  add_test(NAME fuzz.${_name} COMMAND ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh --check ${_name})
  set_tests_properties(fuzz.${_name} PROPERTIES TIMEOUT 120
                       ENVIRONMENT "KESTRO_FUZZ_BUILD=${KESTRO_FUZZ_BUILD}")
endforeach()
