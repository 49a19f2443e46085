# CPack settings for the packages of both programs and their README (the
# install() rules of the top CMakeLists.txt say what goes in):
#   - on Windows (and in the MinGW cross build): a .zip, for a user to unpack
#     and run (the windows-package preset puts everything at its top level);
#   - elsewhere: a .tar.gz, and on Linux a .deb as well.
# The version is the project's. Made by the package presets:
#   cmake --workflow --preset package
#   cmake --workflow --preset windows-package
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "adt_menus developers")
set(CPACK_PACKAGE_CONTACT "adt_menus developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Console menus that demonstrate a binary tree and a bounded circular queue")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR TGZ DEB)
else()
  set(CPACK_GENERATOR TGZ)
endif()

# Debian: package adt-menus (no "_" in Debian names), file name in Debian's
# form, dependencies on the C and C++ runtime found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_NAME adt-menus)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "tree_menu: one linked binary tree of characters; queue_menu: one bounded\n"
    "circular queue of integers, saved to data.dat in the working folder.\n"
    "Both are driven through numbered text menus on standard input.")
find_program(ADT_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(ADT_DPKG_SHLIBDEPS)
if(ADT_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
