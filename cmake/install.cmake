# cmake --install: the library, its headers, a CMake package and a pkg-config file.
# Each install() names its component, the unit a binary package is made of
# (cmake/packaging.cmake): runtime is the shared library alone; dev what building
# against it needs (headers, the CMake and pkg-config files, the unversioned link);
# tools the programs of apps/.
include(CMakePackageConfigHelpers)

install(TARGETS vrnqel43 EXPORT vrnqel43Targets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT dev)

set(QEL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vrnqel43)
install(EXPORT vrnqel43Targets NAMESPACE vrnqel43:: DESTINATION ${QEL_CMAKE_DIR}
  COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/vrnqel43Config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/vrnqel43Config.cmake INSTALL_DESTINATION ${QEL_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/vrnqel43ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vrnqel43Config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/vrnqel43ConfigVersion.cmake DESTINATION ${QEL_CMAKE_DIR}
  COMPONENT dev)

configure_file(${CMAKE_CURRENT_LIST_DIR}/vrnqel43.pc.in ${CMAKE_CURRENT_BINARY_DIR}/vrnqel43.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vrnqel43.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT dev)
