// A report request from a failing procedure to the package in the report
// folder, the mail and its fallbacks, and the dialog shown again.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <shlobj.h>

#include <filesystem>
#include <optional>
#include <set>

#include "basic/App.h"
#include "basic/Err.h"
#include "basic/Text.h"
#include "errorreport/vbwCommon.h"
#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwTrap.h"
#include "registry/CRegistry.h"
#include "support/DialogAnswerer.h"
#include "support/RegistrySandbox.h"
#include "support/TestMailClient.h"

namespace fs = std::filesystem;

namespace {

const std::string kSubject = "Error report for Tamsel 1.0.0";

// The user at the error dialog: asks for a report the first time, with what
// they were doing, and leaves the dialog without a choice the second time.
int g_showings = 0;
void ReportOnceThenLeave() {
  ++g_showings;
  if (!vbwfHasReported) {
    vbwCircumstancesString = L"saving the plan";
    vbwRetCode = 8;
  } else {
    vbwRetCode = 4;
  }
}

// The program that the shell opens mailto: addresses with, for as long as
// the object lives; the prefix's own comes back afterwards.
class MailtoHandler {
 public:
  explicit MailtoHandler(const std::string& command) {
    char old[1024] = "";
    DWORD size = sizeof old;
    if (RegGetValueA(HKEY_CLASSES_ROOT, kKey, nullptr, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS)
      previous_ = old;
    Set(command);
  }
  ~MailtoHandler() {
    if (previous_) Set(*previous_);
    else RegDeleteKeyValueA(HKEY_CLASSES_ROOT, kKey, nullptr);
  }

 private:
  static constexpr const char* kKey = "mailto\\shell\\open\\command";
  static void Set(const std::string& command) {
    RegSetKeyValueA(HKEY_CLASSES_ROOT, kKey, nullptr, REG_SZ, command.c_str(), DWORD(command.size() + 1));
  }
  std::optional<std::string> previous_;
};

class Package : public ::testing::Test {
 protected:
  void SetUp() override {
    vbwInitialize();
    g_showings = 0;
    previous = std::exchange(vbwShowErrorDialog, &ReportOnceThenLeave);
    fs::remove_all(folder);
  }
  void TearDown() override {
    vbwShowErrorDialog = previous;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  }

  // A procedure whose statement fails once; the report is asked for then.
  int FailOnceAndReport() {
    int runs = 0;
    vbwTrap trap(L"TestModule", L"Save");
    trap(3, [&] {
      if (++runs == 1) basic::Raise(basic::errPathNotFound);
    });
    return runs;
  }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
  }
  std::string Read(const std::string& name) const { return ReadFileText((folder / name).string()); }
  std::string Archive() const { return (folder / (kSubject + ".zip")).string(); }

  fs::path folder = fs::path(basic::App::Path()) / "Error Report Files";
  vbwErrorDialog previous;
  CRegistry live;  // a class whose variables the report writes
};

TEST_F(Package, AReportRequestWritesSendsAndShowsTheDialogAgain) {
  TestMailClient mail;
  EXPECT_EQ(FailOnceAndReport(), 1);  // after the report the procedure leaves: the statement is not run again
  EXPECT_EQ(g_showings, 2);
  EXPECT_TRUE(vbwfHasReported);

  EXPECT_EQ(Files(), (std::set<std::string>{"Error.txt", "Version.txt", "System.txt", "Variables.txt",
                                            kSubject + ".zip"}));
  const std::string message = basic::ToAnsi(vbwMessageString);
  EXPECT_EQ(Read("Error.txt"), message + "\r\n\r\nCircumstances:saving the plan\r\n");
  EXPECT_NE(message.find("Error 76\r\n"), std::string::npos);
  EXPECT_NE(Read("Variables.txt").find("* MODULE LEVEL VARIABLES *"), std::string::npos);
  EXPECT_NE(Read("Variables.txt").find("m_RootKey = -2147483648 (Long)"), std::string::npos);
  EXPECT_NE(Read("Version.txt").find("Program"), std::string::npos);
  EXPECT_FALSE(Read("System.txt").empty());

  const std::string received = mail.Received();
  const std::string size = basic::ToAnsi(vbwArchiveSizeKb(basic::FromAnsi(Archive())));
  EXPECT_NE(received.find(kSubject), std::string::npos) << received;
  EXPECT_NE(received.find("support@korvell.example"), std::string::npos) << received;
  EXPECT_NE(received.find("Circumstances:saving the plan\r\n\r\n(Note to sender: the attached file is " + Archive() +
                          " - Size: " + size + " Kb)"),
            std::string::npos)
      << received;
  EXPECT_NE(received.find(Archive()), std::string::npos) << received;
}

TEST_F(Package, AStepThatFailsIsLeftOutAndTheOthersRun) {
  TestMailClient mail;
  fs::create_directories(folder / "Version.txt");  // a folder where the version report would go
  FailOnceAndReport();
  EXPECT_TRUE(fs::is_directory(folder / "Version.txt"));
  EXPECT_TRUE(fs::exists(folder / "System.txt"));
  EXPECT_TRUE(fs::exists(Archive()));
  EXPECT_FALSE(mail.Received().empty());
  EXPECT_EQ(g_showings, 2);
}

TEST_F(Package, WhenTheMailFailsTheMailProgramGetsAMailtoAddress) {
  TestMailClient mail;
  mail.Answer("2");
  // The stand-in planner records how it was started: here, as the mail program.
  const std::string recorder = basic::ToAnsi(basic::App::Path()) + "\\korvell.exe";
  const std::string record = basic::ToAnsi(basic::App::Path()) + "\\korvell-started.txt";
  DeleteFileA(record.c_str());
  MailtoHandler handler("\"" + recorder + "\" \"%1\"");
  {
    DialogAnswerer user(IDYES);
    FailOnceAndReport();
    ASSERT_TRUE(user.Answered());
    EXPECT_EQ(user.Text(), "Have you been able to send the message successfully ?");
  }
  for (int i = 0; i < 100 && ReadFileText(record).empty(); ++i) Sleep(50);
  EXPECT_NE(ReadFileText(record).find("mailto:support@korvell.example?subject=" + kSubject +
                                      "&body=(Please attach: " + Archive() + " - Size: "),
            std::string::npos)
      << ReadFileText(record);
  Sleep(100);
  DeleteFileA(record.c_str());
}

TEST_F(Package, TheMailOpensForTheUserAndACancelThereLeadsToTheInstructions) {
  TestMailClient mail;
  mail.Answer("1");  // the user closed the message without sending it
  const std::string record = basic::ToAnsi(basic::App::Path()) + "\\korvell-started.txt";
  DeleteFileA(record.c_str());
  MailtoHandler handler("\"" + basic::ToAnsi(basic::App::Path()) + "\\korvell.exe\" \"%1\"");
  DialogAnswerer user(IDNO);
  FailOnceAndReport();
  ASSERT_TRUE(user.Answered());
  EXPECT_EQ(mail.Received().substr(0, 9), "flags: 9\n");  // with its window and a logon where needed
  EXPECT_EQ(user.Text().substr(0, 51), "Impossible to send the error report automatically !");
  Sleep(300);
  EXPECT_EQ(ReadFileText(record), "") << "a mailto: address was opened after the cancel";
  EXPECT_EQ(g_showings, 2);
}

TEST_F(Package, WhenNothingSendsTheInstructionsCanGoToTheClipboard) {
  TestMailClient mail;
  mail.Answer("2");
  MailtoHandler handler("\"C:\\no such folder\\mail.exe\" \"%1\"");
  DialogAnswerer user(IDYES);
  FailOnceAndReport();
  ASSERT_TRUE(user.Answered());
  const std::string size = basic::ToAnsi(vbwArchiveSizeKb(basic::FromAnsi(Archive())));
  const std::string instructions =
      "Impossible to send the error report automatically !\r\n\r\n"
      "Please open your email messenger and send a message with the following parameters:\r\n"
      "Address: support@korvell.example\r\n"
      "Subject: " + kSubject + "\r\n"
      "Message: Please open the attached file.\r\n"
      "Attached file: " + Archive() + " (Size: " + size + " Kb)\r\n\r\n"
      "Would you like to copy this message to the clipboard ?\r\n";
  EXPECT_NE(user.Text().find("Impossible to send the error report automatically !"), std::string::npos);
  ASSERT_TRUE(OpenClipboard(nullptr));
  const char* text = static_cast<const char*>(GetClipboardData(CF_TEXT));
  EXPECT_EQ(text ? std::string(text) : "", instructions);
  CloseClipboard();
}

// What keeps the folder beside the program from taking the package: a file
// of its name, or a previous variables file held open by another program.
class ReportFolderBlocker {
 public:
  enum Kind { FileOfItsName, VariablesOpenElsewhere };
  ReportFolderBlocker(Kind kind, const fs::path& folder) : folder_(folder) {
    fs::remove_all(folder);
    if (kind == FileOfItsName) {
      WriteFileText(folder.string(), "not a folder");
      return;
    }
    fs::create_directories(folder);
    WriteFileText((folder / "Variables.txt").string(), "old");
    held_ = CreateFileA((folder / "Variables.txt").string().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                        nullptr);
  }
  ~ReportFolderBlocker() {
    if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
    fs::remove_all(folder_);
  }
  bool Holds() const { return fs::exists(folder_); }

 private:
  fs::path folder_;
  HANDLE held_ = INVALID_HANDLE_VALUE;
};

TEST_F(Package, WhenTheProgramsFolderCannotTakeThePackageItGoesToTheUsersOwn) {
  char appData[MAX_PATH] = "";
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData)));
  const fs::path own = fs::path(appData) / "Korvell" / "Error Report Files";
  for (auto kind : {ReportFolderBlocker::FileOfItsName, ReportFolderBlocker::VariablesOpenElsewhere}) {
    fs::remove_all(own);
    ReportFolderBlocker blocker(kind, folder);
    ASSERT_TRUE(blocker.Holds());
    TestMailClient mail;
    g_showings = 0;
    EXPECT_EQ(FailOnceAndReport(), 1) << kind;
    EXPECT_EQ(g_showings, 2) << kind;
    EXPECT_EQ(fs::path(vbwErrorPath), own / "") << kind;
    const std::string archive = (own / (kSubject + ".zip")).string();
    EXPECT_TRUE(fs::exists(archive)) << kind;
    EXPECT_NE(ReadFileText((own / "Variables.txt").string()).find("**** ErrObject Err ****"), std::string::npos);
    EXPECT_NE(mail.Received().find("the attached file is " + archive), std::string::npos) << mail.Received();
  }
  fs::remove_all(own);
}

TEST_F(Package, WhenNoFolderCanBeWrittenTheDialogStillComesBack) {
  // Nothing beside the program, and the user's own folder path taken by a file too.
  char appData[MAX_PATH] = "";
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData)));
  const fs::path product = fs::path(appData) / "Korvell";
  fs::remove_all(product);
  WriteFileText(product.string(), "not a folder");
  ReportFolderBlocker blocker(ReportFolderBlocker::FileOfItsName, folder);
  TestMailClient mail;
  EXPECT_EQ(FailOnceAndReport(), 1);
  EXPECT_EQ(g_showings, 2);
  EXPECT_TRUE(vbwfHasReported);
  // The mail names no archive that is not there, and says why.
  EXPECT_NE(mail.Received().find("(Note to sender: no report file could be written: neither the folder beside the "
                                 "program nor the user's own could take it whole)"),
            std::string::npos)
      << mail.Received();
  EXPECT_EQ(mail.Received().find(".zip"), std::string::npos) << mail.Received();
  fs::remove(product);
}

TEST(PackageSize, IsGivenInWholeKilobytesRoundedDown) {
  const fs::path file = fs::temp_directory_path() / "korvell-size.bin";
  for (const auto& [bytes, kb] : {std::pair{1023, L"0"}, std::pair{1024, L"1"}, std::pair{2048, L"2"}}) {
    WriteFileText(file.string(), std::string(size_t(bytes), 'x'));
    EXPECT_EQ(vbwArchiveSizeKb(file.wstring()), kb);
  }
  fs::remove(file);
  EXPECT_EQ(vbwArchiveSizeKb(file.wstring()), L"0");
}

}  // namespace
