// Paths as the system writes them (a folder text followed by
// "\relative\path", with "\" or "/" as separators) made usable on Linux.
// Paths are UTF-8 everywhere.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The native form of `path`: every "\" becomes "/", and each component that
// does not exist with its exact spelling is looked up without regard to case
// in its folder, the way Windows finds it (so Folder + "\Vendrix.EXE" finds
// "Vendrix.exe"). Components that exist in no spelling are kept as written,
// so that a file about to be created keeps the name it was given. Repeated
// separators collapse to one; a trailing separator is kept.
std::string nativePath(std::string_view path);

// The folder part of a path, with its trailing separator ("a/b/c.txt" ->
// "a/b/"; "c.txt" -> ""). Both separators count.
std::string extractFilePath(std::string_view path);
// The name after the last separator.
std::string extractFileName(std::string_view path);
// `folder` joined to `name` with exactly one "/" between them.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace platform
