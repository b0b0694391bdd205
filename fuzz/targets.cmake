# The fuzz targets: one per fuzz/<Name>Fuzz.cpp, named <Name>.
file(GLOB _kestro_fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*Fuzz.cpp)
set(KESTRO_FUZZ_TARGETS "")
foreach(_src ${_kestro_fuzz_sources})
  get_filename_component(_name ${_src} NAME_WE)
  string(REGEX REPLACE "Fuzz$" "" _name ${_name})
  list(APPEND KESTRO_FUZZ_TARGETS ${_name})
endforeach()
