# Read by CPack before it makes a package. A Debian package holds Debian's layout for games
# under /usr, with the changelog and copyright file that only such a build tree installs; any
# other tree would make a package that lintian rejects, so CPack stops and says how to make a
# good one.
if(CPACK_GENERATOR STREQUAL "DEB" AND
   NOT (CPACK_QOV_LAYOUT STREQUAL "games" AND CPACK_PACKAGING_INSTALL_PREFIX STREQUAL "/usr"))
  message(FATAL_ERROR
          "this build tree installs the ${CPACK_QOV_LAYOUT} layout under "
          "${CPACK_PACKAGING_INSTALL_PREFIX}; a Debian package needs Debian's layout for games "
          "under /usr. Run scripts/package, or configure a build tree with "
          "-DQOV_INSTALL_LAYOUT=games -DCMAKE_INSTALL_PREFIX=/usr and run cpack -G DEB there.")
endif()
