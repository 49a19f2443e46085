# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staged files of each package
# it makes. Into the .deb only, it puts the files that Debian wants in the
# documentation folder and other systems do not: the machine-readable
# copyright file and the compressed changelog (CPACK_ADT_DEB_DOCS), into
# CPACK_ADT_DOCDIR under the install prefix of the package.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(docdir "${CPACK_TEMPORARY_DIRECTORY}/${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_ADT_DOCDIR}")
  if(NOT IS_DIRECTORY "${docdir}")
    message(FATAL_ERROR "no documentation folder ${docdir} among the staged files")
  endif()
  file(COPY ${CPACK_ADT_DEB_DOCS} DESTINATION "${docdir}"
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endif()
