// The mask rules and the attribute filter of selection.
#include <gtest/gtest.h>

#include "archive/selection.h"

using namespace archive;

namespace {

TDirItem entry(std::string name, uint32_t attr = 0x20) {
  TDirItem item;
  item.name = std::move(name);
  item.header.externalAttr = attr;
  return item;
}

}  // namespace

TEST(MaskRules, MatchAsTheSearchDefinesThem) {
  struct Case {
    const char* mask;
    std::string name;
    bool matches;
  };
  const Case cases[] = {
      {"*.*", "LISEZMOI", true},        {"*.*", "a.txt", true},        {"*.", "LISEZMOI", true},
      {"*.", "a.txt", false},           {"*.", "docs", true},          {"*.", "name.", true},
      {"*.TXT", "readme.txt", true},    {"*.txt", "readme.txt.bak", false},
      {"r?adme.txt", "readme.txt", true}, {"r?adme.txt", "radme.txt", false},
      {"*.txt", "docs/readme.txt", true}, {"notice.*", "notice.txt", true},
      {"notice.*", "notice", false},    {"", "a", false},              {"a*", "a", true},
      {"*b", "ab", true},               {"*b", "a", false},            {"*a*a*a*a*a*b", std::string(200, 'a'), false},
      {"\xC9t\xE9*", "\xE9T\xC9 na\xEFve.txt", true},  // case-insensitive beyond ASCII (Windows-1252)
  };
  for (const Case& c : cases) EXPECT_EQ(maskMatches(c.name, c.mask), c.matches) << c.mask << " / " << c.name;
}

TEST(MaskRules, PreparedMaskLosesItsDriveAndUsesSlashes) {
  EXPECT_EQ(prepareMask("C:\\docs\\*.txt", spRelativePath), "/docs/*.txt");
  EXPECT_EQ(prepareMask("C:\\docs\\*.txt", spFullPathWithDrive), "C:/docs/*.txt");
  EXPECT_EQ(prepareMask("\\\\server\\share\\*.dll", spRelativePath), "/*.dll");
  EXPECT_EQ(prepareMask(std::string(300, 'a'), spRelativePath).size(), kMaxMaskLength);
}

TEST(Selection, NameTestTriesTheLastComponentAndTheAttributeFilterExcludesOnlyHiddenSystemVolumeFolder) {
  struct Case {
    const char* name;
    uint32_t attr;
    const char* mask;
    uint32_t search;
    bool selected;
  };
  const Case cases[] = {
      {"docs/readme.txt", 0x20, "readme.txt", 10431, true},  // through its last component
      {"docs/readme.txt", 0x20, "*.txt", 10431, true},
      {"sub/", 0x10, "*.*", 10431, true},
      {"sub/", 0x10, "*.*", 0x20, false},
      {"hidden.dat", 0x02, "*.*", 0x20, false},
      {"system.sys", 0x04, "*.*", 0x20, false},
      {"hidden.dat", 0x02, "*.*", 0x22, true},
      {"ro.txt", 0x01, "*.*", 0x20, true},  // read-only never excludes
      {"plain.txt", 0x00, "*.*", 0x00, true},
      {"unix.txt", 0x81a40000, "*.*", 0x20, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.mask);
    EXPECT_EQ(entryMatches(entry(c.name, c.attr), prepareMask(c.mask, spRelativePath), c.search, true), c.selected);
  }
}

TEST(Selection, WithoutRecursionOnlyTheMasksFolderCounts) {
  TZADirArray items = {entry("top.txt"), entry("docs/a.txt"), entry("docs/deeper/b.txt"), entry("DOCS/c.txt")};
  TZAOptions options;
  options.Recurse = false;
  EXPECT_EQ(selectEntries(items, "docs\\*.txt", 10431, options), 2u);
  EXPECT_TRUE(items[1].selected);
  EXPECT_TRUE(items[3].selected);
  EXPECT_EQ(selectEntries(items, "*.txt", 10431, options), 1u);
  EXPECT_TRUE(items[0].selected);
  options.Recurse = true;
  EXPECT_EQ(selectEntries(items, "*.txt", 10431, options), 4u);
}
