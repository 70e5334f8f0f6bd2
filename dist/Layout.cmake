# Where `cmake --install` puts things; one layout per build tree.
#   gnu    bin/qov, the demo game in share/qov/games/natsuakari (the default)
#   games  games/qov, the demo game in share/games/qov/natsuakari (Debian's place for games;
#          the .deb package is built with it)
# A packager may also name the two directories (relative to the prefix, or absolute).
include(GNUInstallDirs)

set(QOV_INSTALL_LAYOUT gnu CACHE STRING "Install layout: gnu or games")
set_property(CACHE QOV_INSTALL_LAYOUT PROPERTY STRINGS gnu games)
set(QOV_INSTALL_BINDIR "" CACHE STRING "Where qov is installed (empty: as QOV_INSTALL_LAYOUT says)")
set(QOV_INSTALL_GAMEDIR "" CACHE STRING
    "Where the demo game is installed (empty: as QOV_INSTALL_LAYOUT says)")

if(QOV_INSTALL_LAYOUT STREQUAL "gnu")
  set(QOV_BINDIR ${CMAKE_INSTALL_BINDIR})
  set(QOV_GAMEDIR ${CMAKE_INSTALL_DATADIR}/qov/games/natsuakari)
elseif(QOV_INSTALL_LAYOUT STREQUAL "games")
  set(QOV_BINDIR games)
  set(QOV_GAMEDIR ${CMAKE_INSTALL_DATADIR}/games/qov/natsuakari)
else()
  message(FATAL_ERROR "QOV_INSTALL_LAYOUT is gnu or games, not '${QOV_INSTALL_LAYOUT}'")
endif()
if(QOV_INSTALL_BINDIR)
  set(QOV_BINDIR ${QOV_INSTALL_BINDIR})
endif()
if(QOV_INSTALL_GAMEDIR)
  set(QOV_GAMEDIR ${QOV_INSTALL_GAMEDIR})
endif()

# The program finds the installed demo game from its own directory, so that an installation
# moved elsewhere (or a package unpacked anywhere) still finds it.
cmake_path(ABSOLUTE_PATH QOV_BINDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX} NORMALIZE
           OUTPUT_VARIABLE QOV_FULL_BINDIR)
cmake_path(ABSOLUTE_PATH QOV_GAMEDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX} NORMALIZE
           OUTPUT_VARIABLE QOV_FULL_GAMEDIR)
file(RELATIVE_PATH QOV_INSTALLED_GAME ${QOV_FULL_BINDIR} ${QOV_FULL_GAMEDIR})
# The catalogs of the player's own words, found the same way.
cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_LOCALEDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX} NORMALIZE
           OUTPUT_VARIABLE QOV_FULL_LOCALEDIR)
file(RELATIVE_PATH QOV_INSTALLED_LOCALE ${QOV_FULL_BINDIR} ${QOV_FULL_LOCALEDIR})
