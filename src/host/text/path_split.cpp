#include "host/text/path_split.h"

#include <string>

#include "host/text/characters.h"

namespace lotrano {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::size_t driveLength(std::string_view path) {
  const bool letter = path.size() >= 2 &&
                      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter && path[1] == ':' ? 2 : 0;
}

}  // namespace

std::size_t splitPath(std::string_view path, std::string_view currentDirectory, FixedText& drive,
                      FixedText& directory, FixedText& name, FixedText& extension) {
  for (FixedText* part : {&drive, &directory, &name, &extension}) part->assign("");
  std::string full(withoutTrailingBlanks(path));
  const std::size_t driveEnd = driveLength(full);
  const bool absolute = driveEnd < full.size() && isSeparator(full[driveEnd]);
  if (!absolute) {
    if (currentDirectory.empty()) return 0;
    std::string base(currentDirectory);
    if (!isSeparator(base.back())) base += '/';
    full = base + full.substr(driveEnd);
  }
  const std::size_t driveSize = driveLength(full);
  const std::size_t lastSeparator = full.find_last_of("/\\");
  const std::string_view whole(full);
  const std::string_view directoryPart = whole.substr(driveSize, lastSeparator + 1 - driveSize);
  const std::string_view component = whole.substr(lastSeparator + 1);
  const std::size_t dot = component.rfind('.');
  drive.assign(whole.substr(0, driveSize));
  directory.assign(directoryPart);
  name.assign(component.substr(0, dot == std::string_view::npos ? component.size() : dot));
  extension.assign(dot == std::string_view::npos ? std::string_view{} : component.substr(dot));
  return characterCount(directoryPart);
}

}  // namespace lotrano
