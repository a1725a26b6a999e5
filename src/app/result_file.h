// Naming and opening the ResultFile. Every allocation gets its own ".rez"
// file in the current directory, named after the exam problem, the range and
// the group (file_names.h). When the name is taken the numbered variants [1] to [9] are
// tried in turn (gaps first). A name is taken while its report or its seed
// file (seed_file.h) exists, so that no run replaces the seed file of a report
// that was deleted or filed away. When all ten names are taken the
// TenFileLimit stops the allocation with a message box and no file is
// created. A result file is always created new: an existing file is never
// opened, emptied or written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "app/file_names.h"
#include "app/run_values.h"
#include "host/platform/text_file.h"
#include "host/text/fixed_text.h"

namespace lotrano {

// The file-system services the naming needs, so that tests can stand in for
// them. Names are relative: they lie in the current directory.
struct ResultFileSystem {
  // True when the current directory holds an entry of that name (of any kind).
  std::function<bool(const std::string& name)> exists;
  // Creates the file new for writing; nullopt with `error` set when it is not
  // created (std::errc::file_exists when the name is taken).
  std::function<std::optional<TextFile>(const std::string& name, std::error_code& error)> createNew;
};

// The real file system, for names in the current directory.
ResultFileSystem currentDirectoryFileSystem();

// Shows a message box with an OK button (the Platform's showMessage).
using ShowMessage = std::function<void(std::string_view caption, std::string_view text)>;

struct ResultFile {
  FixedText ResultFileName{kFileNameLength};
  TextFile file;  // open for writing until the end of the run
};

// Names and creates the result file: the first name of the sequence base, [1],
// ..., [9] that is free: neither the name nor its seed file's name exists.
// Only the base name's own variants count, so that names of other groups
// (older variants cut at a title's first ".", say) neither take its ten
// names nor are ever touched. A
// name that is taken at the moment of creation counts as existing. After ten
// taken names the message box "Lotrano Message" is
// shown and the result is nullopt. A name holding "/" or "\" (a path outside
// the current directory) or a NUL character is the fatal "open failure", and
// nothing is created; any other failed creation is the fatal diagnostic of
// its reason.
std::optional<ResultFile> openResultFile(const Group& group, const ExamData& exam,
                                         const ResultFileSystem& fileSystem,
                                         const ShowMessage& showMessage);

}  // namespace lotrano
