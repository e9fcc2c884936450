# tessaly_library(NAME LIBS lib...): a static library of every .cpp in the folder.
function(tessaly_library name)
  cmake_parse_arguments(L "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${sources} ${L_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
  set_target_properties(${name} PROPERTIES LINKER_LANGUAGE CXX)
endfunction()
