# Packages: a .deb of the command on Linux (cpack -G DEB), a zip of the Windows deliverables
# with their registration script in the mingw build (cpack -G ZIP).
set(CPACK_PACKAGE_NAME tabulex)
set(CPACK_PACKAGE_VENDOR "Tabulex")
set(CPACK_PACKAGE_CONTACT "Tabulex maintainers <tabulex@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Converts spreadsheets between text, workbooks and graphing calculator files")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
  # Registers the COM deliverables found beside it; the zip holds whatever this build made.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/register.cmd DESTINATION .)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The C and C++ runtime libraries the command links against, found by dpkg-shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
