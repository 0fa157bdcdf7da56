# Installation of the two programs, the Python module, and the Debian package: `cpack -G DEB` in
# the build folder makes ljgas_<version>_<arch>.deb. Its library dependencies
# are read off the binaries (dpkg-shlibdeps); what the binaries do not link
# but the window needs at run time is named here.
include(GNUInstallDirs)

install(TARGETS ljgas-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES LICENSE README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs FILES_MATCHING PATTERN "*.md" PATTERN "*.png")
# The Python package where Debian's python3 looks: /usr/lib/python3/dist-packages.
if(TARGET _ljgas)
  set(python_package_dir lib/python3/dist-packages/ljgas)
  install(TARGETS _ljgas LIBRARY DESTINATION ${python_package_dir})
  install(FILES ${LJGAS_PYTHON_SOURCES} DESTINATION ${python_package_dir})
endif()

set(CPACK_PACKAGE_NAME ljgas)
set(CPACK_PACKAGE_VENDOR "The ljgas developers")
set(CPACK_PACKAGE_CONTACT "The ljgas developers <ljgas@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Two-dimensional Lennard-Jones gas, live, with g(r) and a thermostat")
set(CPACK_PACKAGE_DESCRIPTION
    "225 Lennard-Jones discs in a periodic box, moving live in a window that shows their temperature and builds up the radial distribution function g(r). ljgas-batch runs the same simulation without a window and writes states, temperatures and g(r) as CSV; the Python module ljgas runs it from Python, with NumPy arrays.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's platform plugin (xcb, wayland) and its layout font are loaded
# at run time, so no library dependency names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
# The extension is built for one Python version, and hands out NumPy arrays;
# the README's example plots with matplotlib.
if(TARGET _ljgas)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
         ", python3 (>= ${LJGAS_PYTHON_VERSION}~), python3 (<< ${LJGAS_PYTHON_NEXT_VERSION}), python3-numpy")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-matplotlib")
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
