#include <gtest/gtest.h>

#include "archive/archive_errors.h"

using archive::makeError;

TEST(ArchiveErrorMessages, NativeErrorSelectsTheTextAndFormsTheSuffix) {
  struct Case {
    int32_t native;
    platform::FormatArgs args;
    const char* component;
    int32_t code;
    const char* message;
  };
  const Case cases[] = {
      {12, {"C:\\Paquet\\vizaruv.fip"}, "Archiver", 6,
       "Archiver: File \"C:\\Paquet\\vizaruv.fip\" not found - Native error: 00012"},
      {8, {}, "Archiver", 4,
       "Archiver: Invalid size or check sum of file or unsupported compression format - Native error: 00008"},
      {55, {}, "", 32, "Deflate64 compression method is not supported - Native error: 00055"},
      {35, {}, "", 18, "Invalid archive file. - Native error: 00035"},
      {40, {}, "", 22, "Cannot find Zip64 directory end record - Native error: 00040"},
      {48, {}, "Archiver", 27, "Archiver: Archive is damaged. Open failed - Native error: 00048"},
      {19, {"D:\\V\\a.txt"}, "Archiver", 9, "Archiver: Cannot create file \"D:\\V\\a.txt\" - Native error: 00019"},
      {20, {"D:\\V\\sub\\"}, "Archiver", 10,
       "Archiver: Cannot create directory \"D:\\V\\sub\\\" - Native error: 00020"},
      {13, {}, "Archiver", 7, "Archiver: Archive is not open - Native error: 00013"},
      {16, {}, "", 1, "Index out of bounds - Native error: 00016"},
      {45, {}, "Archiver", 24,
       "Archiver: Cannot open archive file. Opening aborted or invalid file - Native error: 00045"},
      {34, {10, 20}, "", 17, "Invalid compressed size, rfs.size = 10, count = 20 - Native error: 00034"},
      {9, {}, "", 5, "File name is blank. Specify appropriate file name - Native error: 00009"},
      {37, {}, "", 20, "Archive is open. You should close it beore performing this operation. - Native error: 00037"},
      {56, {}, "", 33, "MakeSFX error - Native error: 00056"},
      {0, {}, "", 0, "Unknown error - Native error: 00000"},
      {999, {}, "", 0, "Unknown error - Native error: 00999"},
      {57, {"../evil.dll"}, "Archiver", 34,
       "Archiver: Entry \"../evil.dll\" would be written outside the target folder - Native error: 00057"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.native);
    const auto e = makeError(c.native, c.args, c.component);
    EXPECT_EQ(e.nativeError(), c.native);
    EXPECT_EQ(e.errorCode(), c.code);
    EXPECT_EQ(e.message(), c.message);
  }
}
