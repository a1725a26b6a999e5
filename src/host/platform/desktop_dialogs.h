// The file chooser and the message box as desktop dialogs, shown by zenity,
// the GTK dialog tool of Linux desktops. This module builds zenity's argument
// lists and reads its answers; starting the program is left to a runner that
// the platform layer hands in, so that everything here works, and is tested,
// without a display.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/platform/child_process.h"

namespace lotrano {

// True when a graphical display is named: either variable set and not empty.
bool desktopDisplayNamed(const char* display, const char* waylandDisplay);

// zenity's file-selection dialog with the title, starting in `startFolder`
// (when not empty) with an empty name box, and the four filters, the first
// one selected. Save mode gives the name box, in which a name that does not
// exist yet can be typed; without --confirm-overwrite it asks nothing more.
std::vector<std::string> zenityChooserArguments(const std::string& zenity, std::string_view title,
                                                const std::string& startFolder);

// zenity's error dialog with the caption and the text, shown as plain text.
std::vector<std::string> zenityMessageArguments(const std::string& zenity, std::string_view caption,
                                                std::string_view text);

enum class DesktopOutcome {
  kChosen,     // the user confirmed a name
  kCancelled,  // Cancel, Escape or the window closed
  kFailed,     // zenity did not work: the console stand-in takes over
};

struct ChooserAnswer {
  DesktopOutcome outcome = DesktopOutcome::kFailed;
  std::string path;  // kChosen only: absolute, ".dat" added to a name without extension
};

// zenity's answer to the file chooser. Exit status 0 with an absolute path is
// a choice; exit status 1 is Cancel unless zenity said it could not open the
// display (it uses the same status for both). Anything else (not started, a
// signal, another status, no path) is a failure.
ChooserAnswer readChooserAnswer(const std::optional<ProgramRun>& run);

// Shows the chooser, starting in the Dat folder of `currentDirectory` (or in
// that directory itself), until the user cancels or confirms a name whose
// folder exists. A chosen name whose folder does not exist is never returned:
// the dialog is shown again. A zenity that keeps answering such names is
// taken as failed.
ChooserAnswer chooseFileOnDesktop(const ProgramRunner& run, const std::string& zenity,
                                  std::string_view title, const std::string& currentDirectory);

// Shows the message box and returns once it is closed (OK, Escape or the
// window closed): true. False when zenity failed, so that the caller shows the
// message another way.
bool showMessageOnDesktop(const ProgramRunner& run, const std::string& zenity,
                          std::string_view caption, std::string_view text);

}  // namespace lotrano
