# Run by CPack once the files are staged for the Debian package: makes the staged tree what Debian
# expects of a game, as Debian's own packaging tools would.
set(usr ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${usr}/share/doc/gravity)
set(debian ${CPACK_GRAVITY_SOURCE_DIR}/packaging/debian)

# Games live in /usr/games.
file(MAKE_DIRECTORY ${usr}/games)
file(RENAME ${usr}/bin/gravity ${usr}/games/gravity)
file(REMOVE_RECURSE ${usr}/bin)

# The licence goes in Debian's copyright file instead, beside a changelog; the changelog and the
# manual page are compressed without a time stamp.
file(REMOVE ${doc}/LICENSE)
file(COPY_FILE ${debian}/copyright ${doc}/copyright)
file(COPY_FILE ${CPACK_GRAVITY_CHANGELOG} ${doc}/changelog)
# A copy keeps its source's mode, which a checkout under a strict umask makes private.
file(CHMOD ${doc}/copyright ${doc}/changelog PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
foreach(file ${doc}/changelog ${usr}/share/man/man6/gravity.6)
  execute_process(COMMAND gzip -9nf ${file} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
