# Installs the build in BUILD into a scratch prefix under WORK, builds examples/hello_client
# against the installed CMake package and runs it (the host loads Kestrel and the client, which
# draws and saves), builds examples/marker_client and runs its GoogleTest suite, then compiles a
# host program with the flags of the installed pkg-config file.
# CXX and FLAGS: the compiler and extra flags the libraries were built with.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    string(JOIN " " command ${ARGN})
    message(FATAL_ERROR "failed (${result}): ${command}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})

run(${CMAKE_COMMAND} -S ${SOURCE}/examples/hello_client -B ${WORK}/client -G Ninja
  -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${FLAGS}" -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK}/client)
run(${WORK}/client/run_hello_client ${WORK}/hello.dxf)
if(NOT last_output MATCHES "hello_client: drew a line and an arc on layer HELLO")
  message(FATAL_ERROR "the client did not report its drawing:\n${last_output}")
endif()
file(READ ${WORK}/hello.dxf drawing)
if(NOT drawing MATCHES "HELLO_CLIENT" OR NOT drawing MATCHES "\nARC\n")
  message(FATAL_ERROR "the saved drawing lacks the client's entities")
endif()

# examples/marker_client: the client with its GoogleTest suite, built and run as the guide says.
run(${CMAKE_COMMAND} -S ${SOURCE}/examples/marker_client -B ${WORK}/marker -G Ninja
  -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${FLAGS}" -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK}/marker)
run(${WORK}/marker/marker_client_test)

set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run(pkg-config --cflags --libs kestrel)
string(STRIP "${last_output}" pkg_flags)
separate_arguments(pkg_flags UNIX_COMMAND "${pkg_flags} ${FLAGS}")
file(WRITE ${WORK}/pkg_host.cpp [=[
#include <kestrel/host/harness.h>
int main() {
    host::newDocument();
    return host::closeAllDocuments() == Acad::eOk ? 0 : 1;
}
]=])
run(${CXX} ${WORK}/pkg_host.cpp -o ${WORK}/pkg_host ${pkg_flags})
run(${WORK}/pkg_host)
