#pragma once

#include <string>

// Content files are named with the letter case of each call site ("Data/..." and "data/..." for
// one folder), as on a case-insensitive file system. FwResolvePath finds the file on ours: each
// component is taken as written when it exists, otherwise matched ignoring case. Relative paths
// are taken from the content root; a path that cannot be found comes back joined as written, so
// that opening it fails in the usual way.
std::string FwResolvePath(const std::string& path);
// The same rules with relative paths taken from `directory` (the working directory when empty).
std::string FwResolvePathFrom(const std::string& directory, const std::string& path);

// The content root defaults to the folder of the running executable when that holds the content
// (a build folder), else to share/quarnel of the prefix the executable is installed in.
void FwSetContentRoot(const std::string& directory);
const std::string& FwContentRoot();
