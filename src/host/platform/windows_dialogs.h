// The open-file dialog and the message box of Windows, through the ANSI
// ("A") calls, which the program's manifest makes take UTF-8 names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lotrano {

// The current directory as GetCurrentDirectoryA gives it, or an empty text
// when it cannot be obtained or does not fit the 260-character buffer.
std::string currentDirectoryText();

// The standard open-file dialog with `title`, starting in the current
// directory's Dat folder, offering the four filters; the chosen file's full
// path, or nullopt for Cancel. The current directory is the same after it
// as before. An interrupt closes the dialog and throws its fatal error.
std::optional<std::string> chooseFile(std::string_view title);

// The message box with an OK button; returns when it is closed. An
// interrupt closes it and throws its fatal error.
void showMessageBox(std::string_view caption, std::string_view text);

}  // namespace lotrano
