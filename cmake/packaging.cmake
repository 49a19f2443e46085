# CPack settings for the packages of both programs, their README and LICENSE,
# and (except on Windows) their manual pages and bash completions; the
# install() rules of the top CMakeLists.txt say what goes in:
#   - on Windows (and in the MinGW cross build): a .zip, for a user to unpack
#     and run (the windows-package preset puts everything at its top level);
#   - elsewhere: a .tar.gz, and on Linux a .deb as well, which also holds the
#     machine-readable copyright file and the changelog that Debian requires.
# The version is the project's. Made by the package presets:
#   cmake --workflow --preset package
#   cmake --workflow --preset windows-package
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "the adt_menus contributors")
set(CPACK_PACKAGE_CONTACT "adt_menus maintainers <adt-menus@users.noreply.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console menus that show a binary tree and a circular queue at work")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR TGZ DEB)
else()
  set(CPACK_GENERATOR TGZ)
endif()

# Debian: package adt-menus (no "_" in Debian names), file name in Debian's
# form, dependencies on the C and C++ runtime found by dpkg-shlibdeps. The
# maintainer is CPACK_PACKAGE_CONTACT, a project address.
set(CPACK_DEBIAN_PACKAGE_NAME adt-menus)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The description's first line, the summary, is CPACK_PACKAGE_DESCRIPTION_SUMMARY.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Two interactive programs for learning and teaching how two classic data\n"
    "structures work, each driven through a numbered text menu on standard\n"
    "input (so that scripts can drive them too).\n"
    "\n"
    "tree_menu holds a linked binary tree of characters: build, clear and\n"
    "destroy it, read and change nodes by their position, find parents,\n"
    "children and siblings, graft and cut subtrees, and print the tree in\n"
    "preorder, inorder and postorder (walked on an explicit stack) and level\n"
    "order.\n"
    "\n"
    "queue_menu holds a bounded circular queue of integers: create, fill and\n"
    "empty it, list it, and save it to and load it from a data file.")
find_program(ADT_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(ADT_DPKG_SHLIBDEPS)
if(ADT_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

# The copyright file and the native changelog (gzip -9n) go into the .deb
# alone: cmake/deb-docs.cmake copies them into its documentation folder once
# CPack has staged the installed files.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog latest LIMIT_COUNT 1)
  if(NOT latest MATCHES "^adt-menus \\(${PROJECT_VERSION}\\)")
    message(WARNING "packaging/changelog has no entry for version ${PROJECT_VERSION} on top")
  endif()
  set(CPACK_ADT_DEB_DOCS ${PROJECT_SOURCE_DIR}/packaging/copyright)
  include(${PROJECT_SOURCE_DIR}/cmake/gzip.cmake)
  find_program(GZIP gzip)
  mark_as_advanced(GZIP)
  if(GZIP)
    adt_gzip(changelog_gz ${PROJECT_BINARY_DIR}/packaging/changelog.gz
             ${PROJECT_SOURCE_DIR}/packaging/changelog)
    list(APPEND CPACK_ADT_DEB_DOCS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
  endif()
  set(CPACK_ADT_DOCDIR ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/deb-docs.cmake)
endif()

include(CPack)
