// The group file: a teacher's plain-text list of one study group. Line 1 is
// the title, which must hold the group number (its first run of digits); every
// later line whose first character is a digit is a student line, every other
// line is ignored. Only the first 80 characters of a line count. A student's
// name runs from the first letter of the line to its last non-blank character,
// cut or padded to 37 characters.
//
// The file is read in two passes: the first takes the title and counts the
// students and shows " Grupa: " and " Numar studenti:" on the console, the
// second fills the list of names, made once with exactly that many entries.
//
// A group file may be in UTF-8, with or without a byte order mark (lists
// written on Linux, or by newer Windows editors), in Windows-1250 (lists
// saved by older Windows editors in the Romanian "ANSI" code page), or in
// UTF-16 with its byte order mark (Notepad's "Unicode"). A file that begins
// with the mark of UTF-16 is read as UTF-16; any other that is not valid
// UTF-8 is taken as Windows-1250, a UTF-8 byte order mark before it passed
// over. Either is converted to UTF-8 as it is read, before anything looks at
// its lines, the title included; every text the program takes from a file
// is then UTF-8.
//
// A line in UTF-8 counts characters, not bytes, and a name may start with a
// Latin letter outside ASCII (U+00C0 to U+024F, except the signs U+00D7 and
// U+00F7), so that Romanian names such as Ștefan or Ţurcanu keep their first
// letter. A line that is no UTF-8 (readGroup takes lines as they come) is
// read byte by byte, and only the ASCII letters start a name.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/run_values.h"
#include "host/text/text_stream.h"

namespace lotrano {

// Opens the path as an existing file and reads the group from it, in UTF-8 or
// converted from Windows-1250 or UTF-16, writing the two console lines; the file is
// closed afterwards. nullopt when the file does
// not open (a folder does not open either): the caller then asks for the group
// at the console, with no message. Fatal errors name the path.
std::optional<Group> readGroupFile(const std::string& path, TextSink& console);

// Reads the group from a group file's whole content, exactly as readGroupFile
// reads that file; fatal errors name `name`.
Group readGroupText(const std::string& content, const std::string& name, TextSink& console);

// Reads the group from the lines of `openLines`, taken as they come (no
// conversion); `openLines` hands out the same lines from the start each time
// it is called (once per pass). Fatal, naming
// the source: no line 1 or no digit in it ("end-of-file during read"), a group
// number too large for 32 bits ("input conversion error").
Group readGroup(const std::function<LineSource()>& openLines, TextSink& console);

}  // namespace lotrano
