# Run as a script (cmake -DROOT=... -DTABLE=... -DSTAMP=... -P CheckIncludes.cmake):
# every `#include "..."` of a library's sources must name a file of the
# library itself or of a library it links; an include of a file that belongs
# to another library of the table fails, with the lines at fault. Includes of
# files outside the table (Qt, the system, generated files) are not looked at.
# A quoted include is looked for beside the including file first, then from
# the source root, as the compiler does.
cmake_minimum_required(VERSION 3.25)
include(${TABLE})

# The owner of each file, by its path from the source root.
foreach(lib IN LISTS LIBRARIES)
  foreach(source IN LISTS ${lib}_SOURCES)
    file(RELATIVE_PATH relative ${ROOT} ${source})
    set(owner_${relative} ${lib})
  endforeach()
endforeach()

set(faults)
foreach(lib IN LISTS LIBRARIES)
  foreach(source IN LISTS ${lib}_SOURCES)
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    get_filename_component(dir ${source} DIRECTORY)
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" name "${line}")
      if(EXISTS ${dir}/${name})
        get_filename_component(target ${dir}/${name} ABSOLUTE)
      else()
        get_filename_component(target ${ROOT}/${name} ABSOLUTE)
      endif()
      file(RELATIVE_PATH relative ${ROOT} ${target})
      set(owner "${owner_${relative}}")
      if(owner AND NOT owner STREQUAL lib AND NOT owner IN_LIST ${lib}_LINKS)
        file(RELATIVE_PATH from ${ROOT} ${source})
        list(APPEND faults "  ${from} includes \"${name}\" of ${owner}, which ${lib} does not link")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "Includes that run the wrong way (a library includes only itself and what it links):\n${text}")
endif()
file(TOUCH ${STAMP})
