# Each layer is the set of files in its kind of folder: src/<subsystem>/ is core, src/<subsystem>/linux/
# the real backends, src/<subsystem>/sim/ the simulated ones, src/<subsystem>/qt/ the windows.
set(KELMO_SUBSYSTEMS base platform app tuner capture channels schedule audio)

function(kelmo_layer_sources out layer)
  set(files)
  foreach(sub ${KELMO_SUBSYSTEMS})
    if(layer STREQUAL "core")
      set(dir ${CMAKE_SOURCE_DIR}/src/${sub})
    else()
      set(dir ${CMAKE_SOURCE_DIR}/src/${sub}/${layer})
    endif()
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.ui ${dir}/*.qrc)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()
