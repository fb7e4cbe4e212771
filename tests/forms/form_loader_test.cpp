#include "forms/form_loader.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "support/test_runtime.h"

namespace zt {
namespace {

class FormLoaderTest : public ::testing::Test {
 protected:
  FormLoaderTest() {
    rt().session.RootDir = dir.Path();
    rt().session.ProgramName = "ZENTARIO";
    rt().session.Language = "CAT";
  }
  Runtime& rt() { return t.rt; }

  // Parses a file text; the test fails when the loader rejects it.
  FormDefinition Parse(const std::string& text) {
    FormDefinition def;
    std::string error;
    EXPECT_TRUE(ParseFormDefinition(rt(), text, "T.QFM", def, error)) << error;
    return def;
  }
  // The loader's message for a file it must reject.
  std::string Reject(const std::string& text) {
    FormDefinition def;
    def.FormCount = 99;
    std::string error;
    EXPECT_FALSE(ParseFormDefinition(rt(), text, "T.QFM", def, error)) << text;
    EXPECT_EQ(def.FormCount, 0) << "a rejected file leaves the definition empty";
    EXPECT_TRUE(def.forms.empty());
    return error;
  }

  test::TempDir dir;
  test::TestRuntime t;
};

// One form of two fields, each line a record or a field.
const char* const kTwoFields =
    "1,20\r\n"
    "d,2,0,0,0,0,0\r\n"
    "5,2,\"Nom:\",10,0,0,1,0,0,\r\n"
    "6,2,\"Tipus:\",5,0,3,0,6,2,\"|A,Alfa|B,Beta\"\r\n";

TEST_F(FormLoaderTest, ReadsFormsFieldsAndValuesAsBlanks) {
  FormDefinition def = Parse(kTwoFields);
  ASSERT_EQ(def.FormCount, 1);
  EXPECT_EQ(def.MaxFields, 20);
  EXPECT_EQ(def.BrowseCount, 0);
  const Form* form = FindForm(def, 1);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->KeyList, "d");
  ASSERT_EQ(form->FieldCount, 2);
  const FormField* f1 = FindField(def, 1, 1);
  const FormField* f2 = FindField(def, 1, 2);
  ASSERT_TRUE(f1 && f2);
  EXPECT_EQ(f1->Row, 5);
  EXPECT_EQ(f1->Column, 2);
  EXPECT_EQ(f1->Label, "Nom:");
  EXPECT_EQ(f1->Width, 10);
  EXPECT_EQ(f1->Flags, 1);
  EXPECT_EQ(f1->Options, "");
  EXPECT_EQ(f1->Value, std::string(10, ' '));
  EXPECT_EQ(f2->Label, "Tipus:");
  EXPECT_EQ(f2->ExtraWidth, 3);
  EXPECT_EQ(f2->Kind, 6);
  EXPECT_EQ(f2->BrowseNumber, 2);
  EXPECT_EQ(f2->Options, "|A,Alfa|B,Beta");
  EXPECT_EQ(f2->Value, "     ");
  EXPECT_EQ(FindField(def, 1, 3), nullptr);
  EXPECT_EQ(FindForm(def, 2), nullptr);
}

// Files that must load like kTwoFields, or differ from it in one field's label.
struct SyntaxCase {
  const char* name;
  const char* text;
  const char* label1;   // expected label of field 1
  std::int16_t width2;  // expected width of field 2
};

TEST_F(FormLoaderTest, SyntaxCases) {
  const SyntaxCase cases[] = {
      {"all on one line",
       "1,20,d,2,0,0,0,0,0,5,2,\"Nom:\",10,0,0,1,0,0,,6,2,\"Tipus:\",5,0,3,0,6,2,\"|A,Alfa|B,"
       "Beta\"",
       "Nom:", 5},
      {"one value per line",
       "1\r\n20\r\nd\r\n2\r\n0\r\n0\r\n0\r\n0\r\n0\r\n5\r\n2\r\nNom:\r\n10\r\n0\r\n0\r\n1\r\n0\r\n"
       "0\r\n\r\n6\r\n2\r\nTipus:\r\n5\r\n0\r\n3\r\n0\r\n6\r\n2\r\n\"|A,Alfa|B,Beta\"\r\n",
       "Nom:", 5},
      {"comments and indented comments before records",
       "' header\r\n1,20\r\n   ' the form\r\n'x\r\nd,2,0,0,0,0,0\r\n"
       "5,2,\"Nom:\",10,0,0,1,0,0,\r\n6,2,\"Tipus:\",5,0,3,0,6,2,\"|A,Alfa|B,Beta\"\r\n",
       "Nom:", 5},
      {"numbers separated by blanks, blanks around values",
       "1 20\r\nd, 2 0 0 0 0 0\r\n5 2 \"Nom:\" 10 0 0 1 0 0 ,\r\n"
       "  6 ,2, Tipus:,5 0 3 0 6 2,\"|A,Alfa|B,Beta\"\r\n",
       "Nom:", 5},
      {"quoted label with a comma keeps it",
       "1,20\r\nd,2,0,0,0,0,0\r\n5,2,\"Nom, curt:\",10,0,0,1,0,0,\r\n"
       "6,2,\"Tipus:\",5,0,3,0,6,2,\"|A,Alfa|B,Beta\"\r\n",
       "Nom, curt:", 5},
      {"quoted label over two lines",
       "1,20\r\nd,2,0,0,0,0,0\r\n5,2,\"Nom\r\nllarg\",10,0,0,1,0,0,\r\n"
       "6,2,\"Tipus:\",5,0,3,0,6,2,\"|A,Alfa|B,Beta\"\r\n",
       "Nom\r\nllarg", 5},
      {"unquoted label keeps its trailing blanks and drops tabs",
       "1,20\r\nd,2,0,0,0,0,0\r\n5,2,No\tm:  ,10,0,0,1,0,0,\r\n"
       "6,2,\"Tipus:\",5,0,3,0,6,2,\"|A,Alfa|B,Beta\"\r\n",
       "Nom:  ", 5},
      {"lines ended by LF only",
       "1,20\nd,2,0,0,0,0,0\n5,2,\"Nom:\",10,0,0,1,0,0,\n6,2,\"Tipus:\",5,0,3,0,6,2,\"|A,Alfa|B,"
       "Beta\"\n",
       "Nom:", 5},
      {"no line end after the last value",
       "1,20\r\nd,2,0,0,0,0,0\r\n5,2,\"Nom:\",10,0,0,1,0,0,\r\n"
       "6,2,\"Tipus:\",5,0,3,0,6,2,\"|A,Alfa|B,Beta\"",
       "Nom:", 5},
      // Without quotes the comma cuts the label: "curt:" becomes the width (0), every later
      // value of the field shifts by one, and field 2 starts one value early.
      {"unquoted label with a comma shifts the record",
       "1,20\r\nd,2,0,0,0,0,0\r\n5,2,Nom, curt:,10,0,0,1,0,0,\r\n"
       "6,2,\"Tipus:\",5,0,3,0,6,2,\"|A,Alfa|B,Beta\"\r\n",
       "Nom", 0},
  };
  for (const SyntaxCase& c : cases) {
    SCOPED_TRACE(c.name);
    FormDefinition def = Parse(c.text);
    const FormField* f1 = FindField(def, 1, 1);
    const FormField* f2 = FindField(def, 1, 2);
    ASSERT_TRUE(f1 && f2);
    EXPECT_EQ(f1->Label, c.label1);
    EXPECT_EQ(f2->Width, c.width2);
    if (c.width2 == 5) {
      EXPECT_EQ(f1->Width, 10);
      EXPECT_EQ(f1->Flags, 1);
      EXPECT_EQ(f2->Label, "Tipus:");
      EXPECT_EQ(f2->Options, "|A,Alfa|B,Beta");
      EXPECT_EQ(f2->BrowseNumber, 2);
    }
  }
}

TEST_F(FormLoaderTest, CommentInsideARecordIsReadAsValues) {
  // Between two fields the comment line gives field 2 its first two values.
  FormDefinition def = Parse(
      "1,20\r\nd,2,0,0,0,0,0\r\n5,2,\"Nom:\",10,0,0,1,0,0,\r\n' 9\r\n"
      "\"Tipus:\",5,0,3,0,6,2,\r\n");
  const FormField* f2 = FindField(def, 1, 2);
  ASSERT_NE(f2, nullptr);
  EXPECT_EQ(f2->Row, 0);  // the apostrophe read as a number
  EXPECT_EQ(f2->Column, 9);
  EXPECT_EQ(f2->Label, "Tipus:");
  EXPECT_EQ(f2->Width, 5);
}

TEST_F(FormLoaderTest, SecondFormAndBrowseDefinitions) {
  FormDefinition def = Parse(
      "2,3\r\n"
      "\"d,1b\",0,2,5,10,12,60\r\n"
      "\"d,1b,3e00\",1,2,0,0,0,0\r\n1,1,\"A:\",4,0,0,0,0,1,\r\n"
      "' browse lists\r\n2\r\n"
      "3,1,4,10,20,70,2,\"Clients\",2\r\n"
      "3,2,4,10,20,70,0,\"Clients, per nom\",0\r\n"
      "' trailing comment\r\n");
  ASSERT_EQ(def.FormCount, 2);
  const Form* f1 = FindForm(def, 1);
  ASSERT_NE(f1, nullptr);
  EXPECT_EQ(f1->KeyList, "d,1b");
  EXPECT_EQ(f1->FieldCount, 0);
  EXPECT_EQ(f1->WindowTop, 5);
  EXPECT_EQ(f1->WindowLeft, 10);
  EXPECT_EQ(f1->WindowBottom, 12);
  EXPECT_EQ(f1->WindowRight, 60);
  const Form* f2 = FindForm(def, 2);
  ASSERT_NE(f2, nullptr);
  EXPECT_EQ(f2->KeyList, "d,1b,3e00");
  EXPECT_EQ(f2->NextForm, 2);
  ASSERT_EQ(def.BrowseCount, 2);
  const BrowseDefinition* b1 = FindBrowse(def, 1);
  const BrowseDefinition* b2 = FindBrowse(def, 2);
  ASSERT_TRUE(b1 && b2);
  EXPECT_EQ(b1->FileHandle, 3);
  EXPECT_EQ(b1->KeyNumber, 1);
  EXPECT_EQ(b1->WindowTop, 4);
  EXPECT_EQ(b1->WindowRight, 70);
  EXPECT_EQ(b1->FilterForm, 2);
  EXPECT_EQ(b1->Header, "Clients");
  EXPECT_EQ(b1->NestedBrowse, 2);
  EXPECT_EQ(b2->Header, "Clients, per nom");
  EXPECT_EQ(FindBrowse(def, 3), nullptr);
  EXPECT_EQ(FindBrowse(def, 0), nullptr);
}

TEST_F(FormLoaderTest, NumbersOutsideSixteenBitsSaturate) {
  FormDefinition def = Parse("1,20\r\nd,1,0,0,0,0,0\r\n70000,-70000,\"A\",7.5,0,0,0,0,abc,\r\n");
  const FormField* f = FindField(def, 1, 1);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Row, 32767);
  EXPECT_EQ(f->Column, -32768);
  EXPECT_EQ(f->Width, 8);  // halves to even
  EXPECT_EQ(f->BrowseNumber, 0);
}

TEST_F(FormLoaderTest, BadFilesAreRejectedWithAMessage) {
  struct BadCase {
    const char* text;
    const char* expected;  // part of the message
  };
  const BadCase cases[] = {
      {"", "empty"},
      {"' only a comment\r\n", "empty"},
      {"0,16\r\n", "form count is 0"},
      {"-3,16\r\n", "form count is -3"},
      {"1,-1\r\nd,0,0,0,0,0,0\r\n", "field maximum is -1"},
      {"30000,30000\r\nd,1,0,0,0,0,0\r\n1,1,A,3,0,0,0,0,0,\r\n", "ends after form 1 of 30000"},
      {"1,30000\r\nd,30000,0,0,0,0,0\r\n1,1,A,3,0,0,0,0,0,\r\n",
       "form 1 (line 2) ends after field 1 of 30000"},
      {"1,4\r\nd,5,0,0,0,0,0\r\n", "form 1 (line 2) has 5 fields; the field maximum is 4"},
      {"1,4\r\nd,-2,0,0,0,0,0\r\n", "has -2 fields"},
      {"1,4\r\nd,1,0,0,0,0,0\r\n1,1,\"Nom:,10,0,0,0,0,0,\r\n",
       "quoted text that starts on line 3 has no closing quote"},
      {"1,4\r\n\"d,1b,0,0,0,0,0\r\n", "starts on line 2 has no closing quote"},
      {"1,4\r\nd,1,0,0,0,0,0\r\n1,1,A,-5,0,0,0,0,0,\r\n",
       "field 1 of form 1 (line 3) has the width -5"},
      {"1,4\r\nd,1,0,0,0,0,0\r\n1,1,A,32767,0,0,0,0,0,\r\n", "has the width 32767"},
      {"1,4\r\nd,0,0,0,0,0,0\r\n-1\r\n", "browse list count is -1"},
      {"1,4\r\nd,0,0,0,0,0,0\r\n3\r\n1,1,1,1,5,5,0,H,0\r\n", "ends after browse list 1 of 3"},
      {"1,4\r\nd,0,0,0,0,0,0\r\n1\r\n1,1,1,1,5,5,0,\"H,0\r\n", "no closing quote"},
  };
  for (const BadCase& c : cases) {
    const std::string error = Reject(c.text);
    EXPECT_NE(error.find("T.QFM"), std::string::npos) << error;
    EXPECT_NE(error.find(c.expected), std::string::npos) << error;
  }
}

TEST_F(FormLoaderTest, FileEndingAfterItsFormsHasNoBrowseLists) {
  FormDefinition def = Parse("1,4\r\nd,0,0,0,0,0,0\r\n' end\r\n");
  EXPECT_EQ(def.BrowseCount, 0);
  // Nothing after a browse count of 0 is read as a browse definition.
  def = Parse("1,4\r\nd,0,0,0,0,0,0\r\n0\r\n' more\r\n1,2,3\r\n");
  EXPECT_EQ(def.BrowseCount, 0);
  EXPECT_EQ(FindBrowse(def, 1), nullptr);
}

TEST_F(FormLoaderTest, LoadsTheProgramsFileFromTheFormsFolder) {
  dir.Write("forms/zentario.qfm", kTwoFields);  // found regardless of case
  std::string error;
  ASSERT_TRUE(LoadFormDefinition(rt(), error)) << error;
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(rt().forms.definition.FormCount, 1);
  EXPECT_EQ(FindField(rt().forms.definition, 1, 2)->Label, "Tipus:");
}

TEST_F(FormLoaderTest, MissingOrBadFileNamesTheFileAndLeavesNoForms) {
  std::string error;
  EXPECT_FALSE(LoadFormDefinition(rt(), error));
  EXPECT_NE(error.find("FORMS/ZENTARIO.QFM"), std::string::npos) << error;
  EXPECT_NE(error.find("cannot be opened"), std::string::npos) << error;
  EXPECT_EQ(rt().forms.definition.FormCount, 0);

  dir.Write("FORMS/ZENTARIO.QFM", "1,4\r\nd,1,0,0,0,0,0\r\n1,1,\"Nom:,10\r\n");
  EXPECT_FALSE(LoadFormDefinition(rt(), error));
  EXPECT_NE(error.find(dir.Path() + "FORMS/ZENTARIO.QFM"), std::string::npos) << error;
  EXPECT_NE(error.find("no closing quote"), std::string::npos) << error;
  EXPECT_EQ(FindForm(rt().forms.definition, 1), nullptr);
}

TEST_F(FormLoaderTest, LabelsOptionsAndHeadersAreTranslated) {
  rt().session.Language = "SPA";
  dir.Write("LOCALE/ZENTARIO.LNG",
            "\"Nom:\",\"Nome:\",\"Nom:\",\"Nombre:\"\r\n"
            "\"|A,Alfa|B,Beta\",x,y,\"|A,Alpha|B,Bet\"\r\n"
            "Clients,Clientes G,Clients O,Clientes\r\n"
            "d,g,o,s\r\n");
  FormDefinition def = Parse(
      "1,4\r\nd,2,0,0,0,0,0\r\n5,2,\"Nom:\",10,0,0,1,0,0,\r\n"
      "6,2,\"Tipus:\",5,0,3,0,6,2,\"|A,Alfa|B,Beta\"\r\n1\r\n3,1,4,10,20,70,0,Clients,0\r\n");
  EXPECT_EQ(FindField(def, 1, 1)->Label, "Nombre:");
  EXPECT_EQ(FindField(def, 1, 2)->Label, "Tipus:");
  EXPECT_EQ(FindField(def, 1, 2)->Options, "|A,Alpha|B,Bet");
  EXPECT_EQ(FindBrowse(def, 1)->Header, "Clientes");
  EXPECT_EQ(FindForm(def, 1)->KeyList, "d");  // key lists are never translated
}

}  // namespace
}  // namespace zt
