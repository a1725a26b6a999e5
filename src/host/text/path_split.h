// Splitting a path into drive, directory, name and extension.
#pragma once

#include <cstddef>
#include <string_view>

#include "host/text/fixed_text.h"

namespace lotrano {

// Drops the path's trailing blanks, makes it absolute against
// `currentDirectory`, and splits it: the drive (such as D:), the directory
// (from the first separator after the drive to the last one, both included),
// the name (up to the last dot of the last component) and the extension (from
// that dot on). Both "/" and "\" separate folders. Each part is copied into
// its destination, blank-padded or cut. Returns the directory part's length
// in characters before any cut; when the path cannot be made absolute (a
// relative path and no current directory) every destination is blank and the
// result is 0.
std::size_t splitPath(std::string_view path, std::string_view currentDirectory, FixedText& drive,
                      FixedText& directory, FixedText& name, FixedText& extension);

}  // namespace lotrano
