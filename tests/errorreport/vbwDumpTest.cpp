// The dump format of an error report's variables.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "basic/Text.h"
#include "errorreport/vbwCommon.h"
#include "errorreport/vbwDump.h"
#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwOptions.h"
#include "registry/CRegistry.h"
#include "wizard/Continue.h"
#include "wizard/frmProcessing.h"

namespace fs = std::filesystem;
using basic::Variant;

namespace {

class Dump : public ::testing::Test {
 protected:
  void SetUp() override {
    vbwInitialize();
    path = fs::temp_directory_path() / "korvell-dump.txt";
    vbwDumpFile = path.wstring();
    vbwDumpFileNum.reset(
        CreateFileA(path.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
    vbwObjectReporter = [](const std::wstring& name, const basic::Object* object, int32_t indent) {
      std::ofstream(fs::temp_directory_path() / "korvell-dump.txt", std::ios::app | std::ios::binary)
          << std::string(size_t(indent), '\t') << "<object " << basic::ToAnsi(name) << " "
          << (object ? basic::ToAnsi(object->ClassName()) : "Nothing") << ">\r\n";
    };
  }
  void TearDown() override {
    vbwDumpFileNum.reset();
    vbwObjectReporter = nullptr;
    vbwDumpStringMaxLength = 128;
    fs::remove(path);
  }
  std::string Written() {
    vbwDumpFileNum.reset();
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  fs::path path;
};

TEST_F(Dump, ScalarsWithTheirTypeNames) {
  vbwReportVariable(L"count", Variant(int32_t(3)), 0);
  vbwReportVariable(L"small", Variant(int16_t(-2)), 1);
  vbwReportVariable(L"flag", Variant(true), 0);
  vbwReportVariable(L"nothing", Variant(), 0);
  vbwReportVariable(L"text", Variant(std::wstring(L"a\r\nb\rc\nd")), 2);
  vbwReportVariable(L"marker", Variant(std::wstring(L"{Empty}")), 0);
  EXPECT_EQ(Written(),
            "count = 3 (Long)\r\n"
            "\tsmall = -2 (Integer)\r\n"
            "flag = True (Boolean)\r\n"
            "nothing =  (Empty)\r\n"
            "\t\ttext = \"a<CrLf>b<Cr>c<Lf>d\" (String)\r\n"
            "marker = {Empty} (String)\r\n");
}

TEST_F(Dump, LongTextsAreCutButNeverInsideALineBreak) {
  const std::wstring exact(128, L'x');
  EXPECT_EQ(FormatString(exact), L"\"" + exact + L"\"");
  EXPECT_EQ(FormatString(std::wstring(300, L'y')), L"\"" + std::wstring(128, L'y') + L"{...}\"");
  const std::wstring pair = std::wstring(127, L'z') + L"\r\n" + L"more";
  EXPECT_EQ(FormatString(pair), L"\"" + std::wstring(127, L'z') + L"<CrLf>{...}\"");
  const std::wstring brace = std::wstring(500, L'w') + L"}";
  EXPECT_EQ(FormatString(brace), brace);
  vbwDumpStringMaxLength = 0;
  EXPECT_EQ(FormatString(std::wstring(300, L'y')), L"\"" + std::wstring(300, L'y') + L"\"");
}

TEST_F(Dump, ArraysOfOneToFourDimensionsWithTheirBounds) {
  const vbwArray list{L"Long()", {{1, 2}}, [](const std::vector<int32_t>& i) { return Variant(int32_t(i[0] * 10)); }};
  const vbwArray grid{L"String()", {{0, 1}, {1, 2}}, [](const std::vector<int32_t>& i) {
                        return Variant(std::to_wstring(i[0]) + L"," + std::to_wstring(i[1]));
                      }};
  const vbwArray cube{L"Long()", {{0, 1}, {1, 1}, {0, 0}, {2, 3}}, [](const std::vector<int32_t>& i) {
                        return Variant(int32_t(i[0] * 1000 + i[1] * 100 + i[2] * 10 + i[3]));
                      }};
  vbwReportVariable(L"list", list, 0);
  vbwReportVariable(L"grid", grid, 1);
  vbwReportVariable(L"cube", cube, 0);
  EXPECT_EQ(Written(),
            "Array list(1 To 2) As Long()\r\n"
            "\tlist(1) = 10 (Long)\r\n"
            "\tlist(2) = 20 (Long)\r\n"
            "\tArray grid(0 To 1,1 To 2) As String()\r\n"
            "\t\tgrid(0,1) = \"0,1\" (String)\r\n"
            "\t\tgrid(1,1) = \"1,1\" (String)\r\n"
            "\t\tgrid(0,2) = \"0,2\" (String)\r\n"
            "\t\tgrid(1,2) = \"1,2\" (String)\r\n"
            "Array cube(0 To 1,1 To 1,0 To 0,2 To 3) As Long()\r\n"
            "\tcube(0,1,0,2) = 102 (Long)\r\n"
            "\tcube(1,1,0,2) = 1102 (Long)\r\n"
            "\tcube(0,1,0,3) = 103 (Long)\r\n"
            "\tcube(1,1,0,3) = 1103 (Long)\r\n");
}

TEST_F(Dump, ArraysWithoutOrWithTooManyDimensionsAndUnreadableElements) {
  vbwReportVariable(L"none", vbwArray{L"Long()", {}, {}}, 0);
  vbwReportVariable(L"five", vbwArray{L"Long()", {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}, {}}, 0);
  vbwReportVariable(L"nothing",
                    vbwArray{L"String()",
                             {{0, -1}},
                             [](const std::vector<int32_t>&) -> Variant {
                               throw std::runtime_error("an array without elements has none to read");
                             }},
                    0);
  vbwReportVariable(L"grid",
                    vbwArray{L"Long()",
                             {{2, 4}},
                             [](const std::vector<int32_t>& i) {
                               if (i[0] == 3) throw std::runtime_error("unreadable");
                               return Variant(int32_t(i[0]));
                             }},
                    0);
  EXPECT_EQ(Written(),
            "Array none() not processed: 0 dimensions\r\n"
            "Array five() not processed: 5 dimensions\r\n"
            "Array nothing(0 To -1) As String()\r\n"
            "Array grid(2 To 4) As Long()\r\n"
            "\tgrid(2) = 2 (Long)\r\n"
            "\tgrid(3) = {Variable Dumping Error}\r\n"
            "\tgrid(4) = 4 (Long)\r\n");
}

TEST_F(Dump, RecordsFieldByFieldAndObjectsThroughTheObjectReport) {
  vbwReportVariable(L"rec", vbwRecord{{{L"a", Variant(int32_t(1))}, {L"b", Variant(std::wstring(L"x"))}}}, 0);
  CRegistry registry;
  vbwReportVariable(L"reg", Variant(static_cast<const basic::Object*>(&registry)), 1);
  vbwReportVariable(L"after", Variant(false), 0);
  EXPECT_EQ(Written(),
            "rec.a = 1 (Long)\r\n"
            "rec.b = \"x\" (String)\r\n"
            "\t<object reg CRegistry>\r\n"
            "after = False (Boolean)\r\n");
}

TEST_F(Dump, TheSavedErrorIsWrittenAsErr) {
  vbwSavedErr = {L"Path not found", 0, L"", 3, 76, L"Tamsel32"};
  vbwDumpObject(L"Err", nullptr, 0);
  EXPECT_EQ(Written(),
            "**** ErrObject Err ****\r\n\r\n"
            "Err.Description = \"Path not found\" (String)\r\n"
            "Err.HelpContext = 0 (Long)\r\n"
            "Err.HelpFile = \"\" (String)\r\n"
            "Err.LastDllError = 3 (Long)\r\n"
            "Err.Number = 76 (Long)\r\n"
            "Err.Source = \"Tamsel32\" (String)\r\n");
}

// Then every living class and every loaded form; a form that is not loaded
// has nothing to show and is left out.
TEST_F(Dump, TheVariablesOfAReportBeginWithTheSavedError) {
  vbwSavedErr = {L"Permission denied", 0, L"", 5, 70, L"Tamsel32"};
  CRegistry registry;
  Continue loaded;
  loaded.Load();
  frmProcessing notLoaded;
  vbwDumpFileNum.reset();  // the report opens the file itself
  vbwWriteVariables();
  loaded.Unload();
  const std::string written = Written();
  const size_t err = written.find("**** ErrObject Err ****\r\n\r\nErr.Description = \"Permission denied\"");
  EXPECT_EQ(err, 0u) << written;
  EXPECT_NE(written.find("Err.LastDllError = 5 (Long)\r\n"), std::string::npos) << written;
  EXPECT_GT(written.find("* MODULE LEVEL VARIABLES *"), err) << written;
  EXPECT_NE(written.find("m_RootKey = "), std::string::npos) << written;
  EXPECT_NE(written.find("<object Continue Continue>"), std::string::npos) << written;
  EXPECT_EQ(written.find("frmProcessing"), std::string::npos) << written;
}

TEST_F(Dump, AClassWritesItsHeaderAndModuleVariables) {
  CRegistry registry;
  registry.SetRootKey(kHKeyLocalMachine);
  vbwReportModuleVariables(registry);
  EXPECT_EQ(Written(),
            "\r\n**************************\r\n* MODULE LEVEL VARIABLES *\r\n**************************\r\n\r\n"
            "m_RootKey = -2147483646 (Long)\r\n");
}

TEST_F(Dump, TheStackIsUnavailableWithoutTracing) {
  EXPECT_EQ(vbwGetStack(), L"{Unavailable}");
  vbwTraceProc = true;
  EXPECT_EQ(vbwGetStack(), L"{Empty}");
  vbwStackCalls = {L"Main", L"Inner"};
  nStackCalls = 2;
  EXPECT_EQ(vbwGetStack(), L"\tInner\r\nMain\r\n");
  vbwTraceProc = false;
  vbwStackCalls.clear();
  nStackCalls = 0;
}

}  // namespace
