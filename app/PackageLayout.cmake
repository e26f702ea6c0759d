# Run by CPack on its staging folder before it builds the .deb: Debian keeps games in /usr/games,
# while `cmake --install` keeps the ordinary bin/ of a prefix. The game finds its content from
# ../share/quarnel in either.
file(MAKE_DIRECTORY ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/games)
file(RENAME ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/quarnel ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/games/quarnel)
file(REMOVE_RECURSE ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin)
