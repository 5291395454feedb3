# Checks one installed header as a client includes it: it compiles alone, without a warning under
# -Wall -Wextra -Wpedantic; a module header leaves no macro defined beyond those of the headers it
# includes itself; and each class it defines carries the export mark.
# Run as: cmake -DCXX=<compiler> -DROOT=<include folder> -DHEADER=<path below it>
#               -DINCLUDES=<extra include folders, ;-separated> -DWORK=<scratch folder> -P <this>

set(flags -std=c++20 -I${ROOT})
foreach(dir IN LISTS INCLUDES)
  list(APPEND flags -I${dir})
endforeach()

# A client's source that includes the header alone, built with the warnings a client may use.
string(MAKE_C_IDENTIFIER ${HEADER} stem)
set(client ${WORK}/${stem}_client.cpp)
file(WRITE ${client} "#include <${HEADER}>\n")
execute_process(
  COMMAND ${CXX} ${flags} -fsyntax-only -Wall -Wextra -Wpedantic -Werror ${client}
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${HEADER} does not compile on its own without warnings:\n${errors}")
endif()

# The module's headers leave no macro defined beyond those of the headers they include. The host's
# define the macros of the interface they stand in for (acDocManager, ACRX_DECLARE_MEMBERS), and
# export.h the export marks.
if(HEADER MATCHES "^kestrel/(access|drawing|geometry|xmlrepo)/")
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
endif()

# A class defined at namespace scope without the export mark would vanish from a library built
# with hidden visibility. Class templates need no mark: clients instantiate them.
file(READ ${ROOT}/${HEADER} text)
string(REGEX REPLACE "template <[^\n]*>\n(class|struct) " "template-class " text "${text}")
string(REGEX MATCHALL "\n(class|struct) [A-Za-z_][A-Za-z0-9_]*( final)?[ \n]*[:{]" unmarked
  "${text}")
# An exported instantiation declared without the mark is hidden where its argument is incomplete.
string(REGEX MATCHALL "\nextern template class [^\n]*" instantiations "${text}")
foreach(instantiation IN LISTS instantiations)
  if(NOT instantiation MATCHES "_API ")
    list(APPEND unmarked "${instantiation}")
  endif()
endforeach()
if(unmarked)
  list(JOIN unmarked "" lines)
  message(FATAL_ERROR "${HEADER} declares classes without the export mark:${lines}")
endif()
