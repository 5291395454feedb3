# Installing Kestrel for client authors: the two libraries, their headers, the kestrel program and
# its data, an exported CMake package (find_package(Kestrel) gives Kestrel::host and
# Kestrel::module) and a pkg-config file (kestrel). A test installs the build into a scratch
# prefix and builds examples/hello_client against it.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KESTREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kestrel)

set_target_properties(drawhost PROPERTIES EXPORT_NAME host INSTALL_RPATH "$ORIGIN")
set_target_properties(kestrel_module PROPERTIES EXPORT_NAME module INSTALL_RPATH "$ORIGIN")
set_target_properties(kestrel_tool PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
target_include_directories(drawhost PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

install(TARGETS drawhost kestrel_module EXPORT KestrelTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS kestrel_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The public headers only: clients include them as <kestrel/...>.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/kestrel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrel)

install(EXPORT KestrelTargets NAMESPACE Kestrel:: DESTINATION ${KESTREL_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KestrelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KestrelConfig.cmake INSTALL_DESTINATION ${KESTREL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KestrelConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KestrelConfig.cmake ${PROJECT_BINARY_DIR}/KestrelConfigVersion.cmake
  DESTINATION ${KESTREL_CMAKE_DIR})

configure_file(${PROJECT_SOURCE_DIR}/cmake/kestrel.pc.in ${PROJECT_BINARY_DIR}/kestrel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kestrel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
