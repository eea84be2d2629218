# vorel_include_check(LIBRARY...): before any of the libraries compiles, reads
# the sources of each and fails the build when one includes a file that
# belongs to another library of the list that it does not link itself (its
# own target_link_libraries, not what comes through the libraries it links).
# The table of the libraries, their sources and their links is written at
# configure time; cmake/CheckIncludes.cmake reads it.
function(vorel_include_check)
  set(table ${CMAKE_BINARY_DIR}/layers/libraries.cmake)
  set(text "# The libraries, their sources and the libraries each links (made by CMakeLists.txt).\n")
  string(APPEND text "set(LIBRARIES ${ARGN})\n")
  set(all_sources)
  foreach(lib IN LISTS ARGN)
    get_target_property(sources ${lib} SOURCES)
    set(own)
    foreach(source IN LISTS sources)
      if(source MATCHES "\\.(h|cpp)$" AND IS_ABSOLUTE "${source}"
         AND source MATCHES "^${CMAKE_SOURCE_DIR}/" AND NOT source MATCHES "/cmake/empty\\.cpp$")
        list(APPEND own ${source})
      endif()
    endforeach()
    get_target_property(links ${lib} LINK_LIBRARIES)
    set(named)
    foreach(link IN LISTS links)
      if(link IN_LIST ARGN)
        list(APPEND named ${link})
      endif()
    endforeach()
    string(APPEND text "set(${lib}_SOURCES \"${own}\")\nset(${lib}_LINKS \"${named}\")\n")
    list(APPEND all_sources ${own})
  endforeach()
  file(CONFIGURE OUTPUT ${table} CONTENT "${text}")

  set(stamp ${CMAKE_BINARY_DIR}/layers/includes.checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -DTABLE=${table} -DSTAMP=${stamp}
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
    DEPENDS ${all_sources} ${table} ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
    COMMENT "Checking that every library includes only what it links"
    VERBATIM)
  add_custom_target(vorel_include_check DEPENDS ${stamp})
  foreach(lib IN LISTS ARGN)
    add_dependencies(${lib} vorel_include_check)
  endforeach()
endfunction()
