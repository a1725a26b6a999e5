// Console stand-ins for the platform's dialogs, for systems without the
// Windows open-file dialog and message box. Both talk on the error stream,
// never on standard output, which carries only the program's own dialogue,
// and read their answer as one line of the console input.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace lotrano {

// The folder the chooser starts in: the current directory followed by Dat/
// when that folder exists, the current directory itself otherwise.
std::string chooserStartFolder(const std::string& currentDirectory);

// Shows the title, the start folder and its *.dat and *.txt files, and when
// the start folder is Dat/ the current folder's too, with a hint, and reads
// one line: a path, absolute or relative. A name without an extension gets
// ".dat". A relative name is taken from the start folder when such a file
// exists there, otherwise from the current folder (where the program writes
// its reports and seed files). A path whose folder does not exist
// is refused with a note and asked again. An empty line or the end of input
// is Cancel (nullopt). Returns the absolute path; the file is not checked.
// When the input is no terminal (`inputEchoes` false) nothing echoes the
// Enter after an answer, so the chooser ends its prompt's line itself.
std::optional<std::string> chooseFileAtConsole(std::istream& in, std::ostream& err,
                                               std::string_view title,
                                               const std::string& currentDirectory,
                                               bool inputEchoes = true);

// A framed box with the caption, the text's lines and "[ OK ]"; returns when
// the user presses Enter (or the input ends).
void showMessageAtConsole(std::istream& in, std::ostream& err, std::string_view caption,
                          std::string_view text);

}  // namespace lotrano
