# The Debian package: "cpack -G DEB" in the build folder makes quadrilex_VERSION_ARCH.deb with
# the program, its menu entry, icon and AppStream file where "cmake --install" puts them.
set(QLX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quadrilex)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/changelog > ${PROJECT_BINARY_DIR}/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/changelog
  VERBATIM)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/quadrilex.1.gz
  COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/quadrilex.1 > ${PROJECT_BINARY_DIR}/quadrilex.1.gz
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/quadrilex.1
  VERBATIM)
add_custom_target(qlx_package_docs ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz
                                               ${PROJECT_BINARY_DIR}/quadrilex.1.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${QLX_DOC_DIR})
install(FILES ${PROJECT_BINARY_DIR}/quadrilex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quadrilex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Quadrilex developers <quadrilex@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# An assistant beside the game, which is played on the board: not a game in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quadrilex.example.org/)
# The libraries the program links, as the system's own packages name them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's SQLite driver is a plug-in: no linked library names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wfrench, qt6-translations-l10n")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "assistant for a letter-grid game played on a message board")
# Below the summary line, the long description; CPack indents its lines as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quadrilex helps referee or play a 10 by 10 letter-grid game played by posts
on a web message board. The game master builds the grid, pastes the players'
proposals and answers with text or a picture of the grid; each player pastes
the master's reply, types letters and copies a proposal. The program speaks
French.

Quadrilex accompagne un jeu de grille de lettres joué par messages sur un
forum : le maître du jeu construit la grille, colle les propositions des
joueurs et répond par un texte ou une image de la grille ; chaque joueur
colle la réponse du maître, tape ses lettres et copie sa proposition.")
# Folders as Debian wants them, whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
