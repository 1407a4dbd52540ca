# Debian packages, one per install component: `cpack -G DEB` in the build directory
# makes
#   libvrnqel43-<N>   runtime: the shared library libvrnqel43.so.<N> (section libs);
#                     named after its SONAME, with a '-' since the name ends in a digit
#   libvrnqel43-dev   dev: headers, CMake package, pkg-config file, libvrnqel43.so
#   vrnqel43-tools    tools: qeltrace, qelini, qelconv
# The packages install under /usr. tools/test-packages.sh checks them.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

get_target_property(qel_soversion vrnqel43 SOVERSION)
set(qel_runtime_package libvrnqel43-${qel_soversion})
set(QEL_PACKAGE_MAINTAINER "vrnqel43 maintainers <maintainers@users.noreply.c-seed-e9fcc728.example>"
    CACHE STRING "The Maintainer field of the Debian packages")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vrnqel43)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_DEB_COMPONENT_INSTALL ON)
# Only these: nothing else of the build (tests, examples) installs, and a component
# added without a name must not become a fourth package unnoticed.
set(CPACK_COMPONENTS_ALL runtime dev tools)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(qel_about
  "The applications of one product family link against this library so that all of\n"
  "them share one error model, one console look, one trace facility and one set of\n"
  "wrappers for files, INI files, code pages, processes and text.\n")
string(CONCAT CPACK_DEBIAN_RUNTIME_DESCRIPTION
  "portable operating-system services library\n" ${qel_about}
  "This package holds the shared library.")
string(CONCAT CPACK_DEBIAN_DEV_DESCRIPTION
  "portable operating-system services library - development files\n" ${qel_about}
  "This package holds the headers, the CMake package and the pkg-config file.")
string(CONCAT CPACK_DEBIAN_TOOLS_DESCRIPTION
  "portable operating-system services library - programs\n" ${qel_about}
  "This package holds qeltrace, the trace controller; qelini, INI files from the\n"
  "shell; and qelconv, code-page conversion.")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${qel_runtime_package})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The runtime package says which package provides the SONAME (its shlibs file), so that
# packages built against it depend on it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

# The CMake and pkg-config files need nothing but the library (ICU is linked privately),
# and qel_codepage.h declares ICU's UErrorCode itself where ICU's headers are absent: so
# no libicu-dev.
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvrnqel43-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${qel_runtime_package} (= ${CPACK_PACKAGE_VERSION})")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME vrnqel43-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)

# dpkg-shlibdeps finds the programs' dependency on the library in a directory of the
# build tree laid out as a package build tree: the library under lib/ and, in
# DEBIAN/shlibs, the runtime package that provides its SONAME.
set(qel_shlibs_root ${CMAKE_BINARY_DIR}/packaging/shlibs-root)
file(MAKE_DIRECTORY ${qel_shlibs_root}/lib)
file(GENERATE OUTPUT ${qel_shlibs_root}/DEBIAN/shlibs CONTENT
  "libvrnqel43 ${qel_soversion} ${qel_runtime_package} (${CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY} ${CPACK_PACKAGE_VERSION})\n")
add_custom_command(TARGET vrnqel43 POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E create_symlink $<TARGET_SONAME_FILE:vrnqel43>
          ${qel_shlibs_root}/lib/$<TARGET_SONAME_FILE_NAME:vrnqel43>)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${qel_shlibs_root}/lib)

include(CPack)
