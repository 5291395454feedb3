# Checks one module header as a client module includes it: it compiles alone, it leaves no
# macro defined beyond those of the headers it includes itself, and each class of the exported
# interface it defines carries the export mark.
# Run as: cmake -DCXX=<compiler> -DROOT=<source root> -DHEADER=<path below root>
#               -DINCLUDES=<extra include folders, ;-separated> -DWORK=<scratch folder> -P <this>

set(flags -std=c++20 -I${ROOT})
foreach(dir IN LISTS INCLUDES)
  list(APPEND flags -I${dir})
endforeach()

execute_process(
  COMMAND ${CXX} ${flags} -fsyntax-only -Wall -Wextra -Wno-unused-parameter -x c++ ${ROOT}/${HEADER}
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${HEADER} does not compile on its own:\n${errors}")
endif()

# The macros after the header, and after only its own #include lines.
string(MAKE_C_IDENTIFIER ${HEADER} stem)
set(base ${WORK}/${stem}_includes.cpp)
file(STRINGS ${ROOT}/${HEADER} include_lines REGEX "^[ \t]*#[ \t]*include")
list(JOIN include_lines "\n" include_text)
file(WRITE ${base} "${include_text}\n")

execute_process(COMMAND ${CXX} ${flags} -dM -E -x c++ ${ROOT}/${HEADER}
  OUTPUT_VARIABLE with_header RESULT_VARIABLE result)
execute_process(COMMAND ${CXX} ${flags} -dM -E -x c++ ${base}
  OUTPUT_VARIABLE without_header RESULT_VARIABLE base_result)
if(NOT result EQUAL 0 OR NOT base_result EQUAL 0)
  message(FATAL_ERROR "${HEADER}: the preprocessor failed")
endif()

string(REGEX MATCHALL "#define [A-Za-z_][A-Za-z_0-9]*" with_header "${with_header}")
string(REGEX MATCHALL "#define [A-Za-z_][A-Za-z_0-9]*" without_header "${without_header}")
list(REMOVE_ITEM with_header ${without_header})
if(with_header)
  list(JOIN with_header "\n" stray)
  message(FATAL_ERROR "${HEADER} leaves macros defined:\n${stray}")
endif()

# A class of the exported interface defined without the mark would vanish from a library built
# with hidden visibility.
set(exported "CVLKC|Cx[A-Z]|_CXML|CCPE_|CDrawingEntity|CDatabaseSwitch|ICharacteristicPointsExtractor")
file(STRINGS ${ROOT}/${HEADER} unmarked REGEX "^[ \t]*class[ \t]+(${exported})[A-Za-z0-9_]*[ \t]*(final)?[ \t]*[:{]")
if(unmarked)
  list(JOIN unmarked "\n" lines)
  message(FATAL_ERROR "${HEADER} defines exported classes without the export mark:\n${lines}")
endif()
