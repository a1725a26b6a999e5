# Copies a text that names the folders of the Debian package, the
# documentation's /usr/share/doc/lotrano and the checking page's
# /usr/share/lotrano, with each replaced by where this build installs it, so
# that an installed manual page or guide points at its own installation (run
# at build time by the install rules).
#   cmake -DINPUT=<text> -DOUTPUT=<copy> -DDOCDIR=<doc folder>
#     -DDATADIR=<the program's data folder> -P doc-paths.cmake
file(READ "${INPUT}" text)
string(REPLACE "/usr/share/doc/lotrano" "${DOCDIR}" text "${text}")
string(REPLACE "/usr/share/lotrano" "${DATADIR}" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
