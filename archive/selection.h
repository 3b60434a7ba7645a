// Selection of entries for processing: the mask rules (with "*.", "*.*" and
// the last path component) and the attribute filter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "archive/dir_item.h"
#include "archive/options.h"

namespace archive {

// The longest mask kept.
constexpr size_t kMaxMaskLength = 259;

// The mask as the search uses it: without its drive (unless full paths with
// drive are stored), "/" separators, at most 259 characters.
std::string prepareMask(std::string_view mask, TZAStorePathMode storePath);

// Whether `name` matches `mask` (Windows-1252 texts, without regard to case).
bool maskMatches(std::string_view name, std::string_view mask);

// The name test and the attribute test for one entry against a prepared mask.
bool entryMatches(const TDirItem& item, std::string_view preparedMask, uint32_t searchAttr, bool recurse);

// Marks the entries that pass both tests (clearing every other mark) and
// returns how many are marked.
size_t selectEntries(TZADirArray& items, std::string_view mask, uint32_t searchAttr, const TZAOptions& options);

}  // namespace archive
