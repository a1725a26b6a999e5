# Copies a text that names the documentation folder of the Debian package,
# /usr/share/doc/lotrano, with that folder replaced by where this build
# installs it, so that an installed manual page or guide points at its own
# installation (run at build time by the install rules).
#   cmake -DINPUT=<text> -DOUTPUT=<copy> -DDOCDIR=<doc folder> -P doc-paths.cmake
file(READ "${INPUT}" text)
string(REPLACE "/usr/share/doc/lotrano" "${DOCDIR}" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
