// The whole program on a MemoryConsole: session, form file, settings, form loop and save.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "app/main_sequence.h"
#include "platform/keycodes.h"
#include "support/temp_dir.h"
#include "support/test_runtime.h"

namespace zt {
namespace {

const char kVorn[] =
    "[Usuari]\r\nDecCaracter=,\r\nMilCaracter=.\r\n\r\n"
    "[Iva0]\r\nNom=IVA\r\nLocals=21\r\nVivendes=10\r\nHonoraris=21\r\nSuplerts=21\r\nSerie=A\r\n"
    "\r\n[Ret0]\r\nHonoraris=15\r\nLocals=19\r\n\r\n"
    "[Iva1]\r\nNom=IGIC\r\nLocals=7\r\nVivendes=3\r\nHonoraris=7\r\nSuplerts=7\r\nSerie=C\r\n"
    "\r\n[Ret1]\r\nHonoraris=15\r\nLocals=19\r\n";

// Sixteen fields: section 0 at column 21, section 1 at column 35; names width 8,
// percentages width 5 (kind 6), series width 2.
std::string FormFile(int fields) {
  std::string text = "1," + std::to_string(fields) + "\r\n\"0d,1b,4800,5000,4900,5100,4400\"," +
                     std::to_string(fields) + ",0,0,0,0,0\r\n";
  const int rows[] = {5, 7, 8, 9, 10, 12, 13, 15};
  const int widths[] = {8, 5, 5, 5, 5, 5, 5, 2};
  for (int i = 0; i < fields; ++i) {
    const int k = i % 8;
    std::string label;
    if (i < 8) {
      label = "Camp " + std::to_string(i + 1);
      label.resize(20, ' ');  // section 0's values start at column 21
    }
    text += std::to_string(rows[k]) + (i < 8 ? ",1,\"" : ",35,\"") + label + "\"," +
            std::to_string(widths[k]) + ",0,0,0," + (k >= 1 && k <= 6 ? "6" : "0") + ",0,\"\"\r\n";
  }
  return text + "0\r\n";
}

class SettingsEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    char buffer[PATH_MAX];
    ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
    startDir = buffer;
    vorn = dir.Write("Vorn.ini", kVorn);
    dir.Write("FORMS/ZENTARIO.QFM", FormFile(16));
    dir.Write("TMP/Sessio.ini", "[Menu]\r\nTitol=PROVA\r\n");
    dir.Write("TMP/VornTerm.ini", "[Sistema]\r\nIdioma=CAT\r\n");
    t.env.Set("KYBROOT", dir.Path());
    t.env.Set("KYBTMP", dir.Path() + "TMP/");
    // An old modification time, so that any rewrite shows.
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, vorn.c_str(), times, 0);
  }
  void TearDown() override { ASSERT_EQ(::chdir(startDir.c_str()), 0); }

  int Run() {
    int status = RunMainSequence(t.rt, message);
    EXPECT_EQ(t.console.ExhaustedWaits(), 0);
    return status;
  }
  bool VornUntouched() {
    struct stat info {};
    ::stat(vorn.c_str(), &info);
    return dir.Read("Vorn.ini") == kVorn && info.st_mtim.tv_sec == 1000000000;
  }

  test::TempDir dir;
  test::TestRuntime t;
  std::string startDir;
  std::string vorn;
  std::string message;
};

TEST_F(SettingsEditor, DrawsTheFormAndLeavesOnEscWithoutWriting) {
  t.console.PushKey(keys::kEsc);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(t.console.RowText(5).substr(0, 27), "Camp 1              IVA    ");
  EXPECT_EQ(t.console.RowText(7).substr(20, 21), "21,00 %        7,00 %");
  EXPECT_TRUE(VornUntouched());
  EXPECT_TRUE(t.rt.screen.runCalculator);
  EXPECT_TRUE(t.rt.screen.runCalendar);
  EXPECT_TRUE(t.rt.forms.runBrowse);
}

TEST_F(SettingsEditor, EditAndSaveWritesAllSixteenKeys) {
  t.console.PushKey(keys::kEnter);
  t.console.PushText("4");
  t.console.PushKey(keys::kF10);
  EXPECT_EQ(Run(), 0) << message;
  std::string expected =
      "[Usuari]\r\nDecCaracter=,\r\nMilCaracter=.\r\n\r\n"
      "[Iva0]\r\nNom=IVA     \r\nLocals=41   \r\nVivendes=10   \r\nHonoraris=21   \r\n"
      "Suplerts=21   \r\nSerie=A \r\n\r\n[Ret0]\r\nHonoraris=15   \r\nLocals=19   \r\n\r\n"
      "[Iva1]\r\nNom=IGIC    \r\nLocals=7    \r\nVivendes=3    \r\nHonoraris=7    \r\n"
      "Suplerts=7    \r\nSerie=C \r\n\r\n[Ret1]\r\nHonoraris=15   \r\nLocals=19   \r\n";
  EXPECT_EQ(dir.Read("Vorn.ini"), expected);
}

TEST_F(SettingsEditor, EscAfterAnEditDiscardsIt) {
  t.console.PushKey(keys::kEnter);
  t.console.PushText("4");
  t.console.PushKey(keys::kEnter);  // stored: Changed is set
  t.console.PushKey(keys::kEsc);    // back to the first field
  t.console.PushKey(keys::kEsc);    // leave
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(t.rt.forms.definition.Changed);
  EXPECT_TRUE(VornUntouched());
}

TEST_F(SettingsEditor, LeavingWithoutAChangeWritesNothing) {
  for (int i = 0; i < 16; ++i) t.console.PushKey(keys::kEnter);  // Enter on the last leaves
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(VornUntouched());
}

TEST_F(SettingsEditor, AValueTypedBackStillCountsAsAChange) {
  t.console.PushKey(keys::kEnter);
  t.console.PushText("4");
  t.console.PushKey(keys::kEnter);
  t.console.PushKey(keys::kUp);
  t.console.PushText("2");
  t.console.PushKey(keys::kF10);
  EXPECT_EQ(Run(), 0);
  EXPECT_NE(dir.Read("Vorn.ini"), kVorn);
  EXPECT_NE(dir.Read("Vorn.ini").find("Locals=21   \r\n"), std::string::npos);
}

TEST_F(SettingsEditor, MissingFormFileStopsWithItsName) {
  ::unlink((dir.Path() + "FORMS/ZENTARIO.QFM").c_str());
  EXPECT_NE(RunMainSequence(t.rt, message), 0);
  EXPECT_NE(message.find("ZENTARIO.QFM"), std::string::npos) << message;
  EXPECT_TRUE(VornUntouched());
}

TEST_F(SettingsEditor, FormWithFewerThanSixteenFieldsStopsWithTheFileName) {
  dir.Write("FORMS/ZENTARIO.QFM", FormFile(15));
  EXPECT_NE(RunMainSequence(t.rt, message), 0);
  EXPECT_NE(message.find("ZENTARIO.QFM"), std::string::npos) << message;
  EXPECT_TRUE(VornUntouched());
}

TEST_F(SettingsEditor, FailedSaveGivesAMessageAndANonZeroStatus) {
  ::unlink(vorn.c_str());
  dir.Write("Vorn.ini/keep", "");  // the settings file cannot be replaced
  t.console.PushKey(keys::kEnter);
  t.console.PushText("4");
  t.console.PushKey(keys::kF10);
  EXPECT_NE(Run(), 0);
  EXPECT_NE(message.find(dir.Path() + "Vorn.ini"), std::string::npos) << message;
}

TEST_F(SettingsEditor, WithoutKybrootTheStartFolderIsTheSuite) {
  t.env.Unset("KYBROOT");
  ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
  t.console.PushKey(keys::kEnter);
  t.console.PushText("4");
  t.console.PushKey(keys::kF10);
  EXPECT_EQ(Run(), 0) << message;
  EXPECT_NE(dir.Read("Vorn.ini").find("Locals=41   \r\n"), std::string::npos);
}

}  // namespace
}  // namespace zt
