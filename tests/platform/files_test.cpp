#include "platform/files.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zt {
namespace {

TEST(Files, BackslashesBecomeSlashes) {
  EXPECT_EQ(NativePath("FORMS\\ZENTARIO.QFM"), "FORMS/ZENTARIO.QFM");
  EXPECT_EQ(NativePath("/a/b"), "/a/b");
}

TEST(Files, ResolvesComponentsWithoutRegardToCase) {
  test::TempDir dir;
  dir.Write("Forms/Zentario.qfm", "x");
  EXPECT_EQ(ResolvePath(dir.Path() + "FORMS\\ZENTARIO.QFM"), dir.Path() + "Forms/Zentario.qfm");
  // A file still to be created keeps its own name but finds its folder.
  EXPECT_EQ(ResolvePath(dir.Path() + "FORMS\\new.tmp"), dir.Path() + "Forms/new.tmp");
  // Exact spellings win; nothing matching leaves the path as written.
  EXPECT_EQ(ResolvePath(dir.Path() + "Forms/Zentario.qfm"), dir.Path() + "Forms/Zentario.qfm");
  EXPECT_EQ(ResolvePath(dir.Path() + "NONE/x"), dir.Path() + "NONE/x");
  std::string contents;
  EXPECT_TRUE(ReadWholeFile(dir.Path() + "forms\\zentario.QFM", contents));
  EXPECT_EQ(contents, "x");
  EXPECT_FALSE(ReadWholeFile(dir.Path() + "missing", contents));
}

}  // namespace
}  // namespace zt
