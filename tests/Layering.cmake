# The units depend one way: each source includes only what lies below it.
# Run by ctest as: cmake -DROOT=<source folder> -P Layering.cmake
#
# Each rule: the files of one folder (a path without .cpp/.h), then the
# include paths they may name (prefixes, comma-separated); a prefix after "!"
# is refused even where a shorter one allows it (the start-up inside shell/).
set(rules
  "platform/rtl/*|platform/rtl/"
  "platform/data/*|platform/rtl/,platform/data/"
  "platform/image/*|platform/rtl/,platform/image/"
  "platform/ui/*|platform/rtl/,platform/data/,platform/image/,platform/ui/"
  "platform/report/*|platform/rtl/,platform/data/,platform/image/,platform/report/"
  "platform/preview/*|platform/rtl/,platform/data/,platform/image/,platform/ui/,platform/report/,platform/preview/"
  "datamodule/*|platform/rtl/,platform/data/,datamodule/"
  "entry/*|platform/,datamodule/,entry/"
  "items/*|platform/,datamodule/,entry/,items/"
  "movements/*|platform/,datamodule/,entry/,movements/"
  "reports/*|platform/,datamodule/,reports/"
  "shell/*|platform/,datamodule/,entry/,items/,movements/,reports/,shell/,!shell/program/"
  "shell/program/*|platform/,datamodule/,entry/,items/,movements/,reports/,shell/"
  "tools/stockdb/*|platform/rtl/,platform/data/,tools/stockdb/"
  "tools/stockdb/main/*|platform/rtl/,platform/data/,tools/stockdb/")

set(faults "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 pattern)
  list(GET parts 1 allowed)
  string(REPLACE "," ";" allowed "${allowed}")
  file(GLOB files RELATIVE ${ROOT} ${ROOT}/${pattern}.cpp ${ROOT}/${pattern}.h)
  foreach(f IN LISTS files)
    file(STRINGS ${ROOT}/${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*/[^\"]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE ".*\"([^\"]*)\".*" "\\1" path "${line}")
      set(ok FALSE)
      set(refused FALSE)
      foreach(prefix IN LISTS allowed)
        string(REGEX REPLACE "^!" "" bare "${prefix}")
        string(FIND "${path}" "${bare}" at)
        if(at EQUAL 0 AND bare STREQUAL prefix)
          set(ok TRUE)
        elseif(at EQUAL 0)
          set(refused TRUE)
        endif()
      endforeach()
      if(NOT ok OR refused)
        list(APPEND faults "${f} includes ${path}")
      endif()
    endforeach()
  endforeach()
endforeach()

# No window library below the window layer, and the database engine's own
# headers only inside the data layer.
file(GLOB_RECURSE sources RELATIVE ${ROOT}
  ${ROOT}/platform/*.cpp ${ROOT}/platform/*.h ${ROOT}/datamodule/*.cpp ${ROOT}/datamodule/*.h
  ${ROOT}/entry/*.cpp ${ROOT}/entry/*.h ${ROOT}/shell/*.cpp ${ROOT}/shell/*.h
  ${ROOT}/items/*.cpp ${ROOT}/items/*.h ${ROOT}/movements/*.cpp ${ROOT}/movements/*.h
  ${ROOT}/reports/*.cpp ${ROOT}/reports/*.h ${ROOT}/tools/*.cpp ${ROOT}/tools/*.h)
foreach(f IN LISTS sources)
  file(STRINGS ${ROOT}/${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*<")
  foreach(line IN LISTS includes)
    if(f MATCHES "^platform/(rtl|data|report)/" AND line MATCHES "<Qt(Widgets|PrintSupport)/")
      list(APPEND faults "${f} includes a window library: ${line}")
    endif()
    if(NOT f MATCHES "^platform/data/" AND line MATCHES "<sqlite3\\.h>")
      list(APPEND faults "${f} includes the database engine: ${line}")
    endif()
  endforeach()
endforeach()

# One binding to the database engine: its C API, through the data layer in
# the program, straight in the tests and benchmarks.
file(GLOB_RECURSE everything RELATIVE ${ROOT} ${ROOT}/*.cpp ${ROOT}/*.h)
list(FILTER everything EXCLUDE REGEX "^build")
foreach(f IN LISTS everything)
  file(STRINGS ${ROOT}/${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*<SQLiteCpp/")
  if(includes)
    list(APPEND faults "${f} includes a second binding of the database engine: ${includes}")
  endif()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes against the direction of the units:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "layering: ${count} files include only what lies below them")
