// The stand-in network provider: its description's options, and the
// connections that it makes through Wine's network provider router.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <winnetwk.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "Network.h"
#include "support/NetProviderSandbox.h"

namespace {

TEST(NetworkDescription, ShareOptionsSayWhoMayConnectAndWhatTheFolderHolds) {
  const auto network = netprovider::ParseNetwork(
      L"provider P\n  server S | unlisted\n    share Open | dats\n"
      L"    share Safe | password holiday | user clerk | dats\n    share Plain\n");
  const auto& server = network.providers[0].children[0];
  EXPECT_TRUE(server.unlisted);
  const auto& safe = server.children[1];
  EXPECT_TRUE(safe.IsProtected());
  EXPECT_EQ(safe.password, L"holiday");
  EXPECT_EQ(safe.user, L"clerk");
  EXPECT_EQ(safe.Folders(), (std::vector<std::wstring>{L"\\\\S\\Safe", L"\\\\S\\Safe\\dats"}));
  EXPECT_FALSE(server.children[2].IsProtected());
  // Unlisted shares have their folders; protected ones get theirs on connection.
  EXPECT_EQ(network.Folders(), (std::vector<std::wstring>{L"\\\\S\\Open", L"\\\\S\\Open\\dats", L"\\\\S\\Plain"}));
  EXPECT_EQ(network.ProviderOf(L"\\\\s\\safe"), &network.providers[0]);
  EXPECT_EQ(network.ProviderOf(L"\\\\S\\Nothing"), nullptr);
}

TEST(NetworkDescription, ShareOptionsOutOfPlaceNameTheirLine) {
  const std::pair<const wchar_t*, const char*> cases[] = {
      {L"provider P\n  server S | password x\n", "line 2: password is an option of shares with a folder"},
      {L"provider P\n  server S\n    printer L | dats\n", "line 3: dats is an option of shares with a folder"},
      {L"provider P\n  server S\n    share A | user clerk\n", "line 3: a user needs a password"},
      {L"provider P\n  server S\n    share A | password\n", "line 3: unknown option \"password\""},
      {L"provider P\n  server S\n    share A | dats now\n", "line 3: unknown option \"dats now\""},
  };
  for (const auto& [text, message] : cases) {
    try {
      netprovider::ParseNetwork(text);
      ADD_FAILURE() << message;
    } catch (const netprovider::FormatError& e) {
      EXPECT_STREQ(e.what(), message);
    }
  }
}

constexpr const char* kOffice = R"(
provider Office Network
  server MASTER | unlisted
    share KORVELL | password holiday | dats
    share Payroll | password ledger | user clerk
    share Open
    share Shut | closed
    printer Laser
provider Lab Network
  workgroup LAB
)";

struct Record {
  DWORD scope, type, displayType, usage;
  std::string localName, remoteName, provider;
};

std::string Text(const char* text) { return text ? text : "(none)"; }

struct EnumCloser {
  void operator()(HANDLE handle) const { WNetCloseEnum(handle); }
};

std::vector<Record> Enumerate(DWORD scope, DWORD type, NETRESOURCEA* container = nullptr) {
  HANDLE handle;
  std::vector<Record> records;
  if (WNetOpenEnumA(scope, type, 0, container, &handle) != NO_ERROR) return records;
  const std::unique_ptr<void, EnumCloser> open(handle);
  std::vector<char> buffer(16384);
  for (;;) {
    DWORD count = 0xFFFFFFFF, size = DWORD(buffer.size());
    if (WNetEnumResourceA(handle, &count, buffer.data(), &size) != NO_ERROR) return records;
    for (const auto& r : std::vector<NETRESOURCEA>(reinterpret_cast<NETRESOURCEA*>(buffer.data()),
                                                   reinterpret_cast<NETRESOURCEA*>(buffer.data()) + count))
      records.push_back({r.dwScope, r.dwType, r.dwDisplayType, r.dwUsage, Text(r.lpLocalName), Text(r.lpRemoteName),
                         Text(r.lpProvider)});
  }
}

std::vector<std::string> Connected(DWORD type = RESOURCETYPE_DISK) {
  std::vector<std::string> names;
  for (const auto& r : Enumerate(RESOURCE_CONNECTED, type)) names.push_back(r.remoteName + " " + r.localName);
  return names;
}

DWORD Connect(const char* remoteName, const char* password, const char* user = nullptr,
              const char* localName = nullptr) {
  NETRESOURCEA resource{};
  resource.dwType = RESOURCETYPE_DISK;
  resource.lpRemoteName = const_cast<char*>(remoteName);
  resource.lpLocalName = const_cast<char*>(localName);
  return WNetAddConnection2A(&resource, password, user, CONNECT_CMD_SAVECRED);
}

bool IsFolder(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Ends the test's connections however it ends, so that the next test finds
// none.
class Connections : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const auto& r : Enumerate(RESOURCE_CONNECTED, RESOURCETYPE_ANY))
      WNetCancelConnection2A(r.remoteName.c_str(), 0, TRUE);
  }
  ServedNetwork served{kOffice};
};

TEST_F(Connections, OnlyTheRightPasswordMakesAProtectedShareReachableUntilTheConnectionEnds) {
  EXPECT_FALSE(IsFolder("\\\\MASTER\\KORVELL"));
  EXPECT_EQ(Connect("\\\\MASTER\\KORVELL", "Holiday", ""), DWORD(ERROR_INVALID_PASSWORD));
  EXPECT_EQ(Connect("\\\\MASTER\\KORVELL", nullptr), DWORD(ERROR_INVALID_PASSWORD));
  EXPECT_FALSE(IsFolder("\\\\MASTER\\KORVELL"));
  EXPECT_TRUE(Connected().empty());

  ASSERT_EQ(Connect("\\\\master\\korvell", "holiday", ""), DWORD(NO_ERROR));
  EXPECT_TRUE(IsFolder("\\\\MASTER\\KORVELL\\dats"));
  EXPECT_EQ(Connected(), (std::vector<std::string>{"\\\\MASTER\\KORVELL "}));

  EXPECT_EQ(WNetCancelConnection2A("\\\\MASTER\\korvell", 0, TRUE), DWORD(NO_ERROR));
  EXPECT_FALSE(IsFolder("\\\\MASTER"));
  EXPECT_TRUE(Connected().empty());
  EXPECT_EQ(WNetCancelConnection2A("\\\\MASTER\\KORVELL", 0, TRUE), DWORD(ERROR_NOT_CONNECTED));
}

TEST_F(Connections, AShareThatNamesAUserTakesItOrTheUserLoggedOn) {
  EXPECT_EQ(Connect("\\\\MASTER\\Payroll", "ledger", "visitor"), DWORD(ERROR_LOGON_FAILURE));
  EXPECT_EQ(Connect("\\\\MASTER\\Payroll", "holiday", "clerk"), DWORD(ERROR_INVALID_PASSWORD));
  EXPECT_EQ(Connect("\\\\MASTER\\Payroll", "ledger", "CLERK"), DWORD(NO_ERROR));
  EXPECT_EQ(Connect("\\\\MASTER\\Payroll", "ledger", nullptr), DWORD(NO_ERROR));
  EXPECT_EQ(Connected(), (std::vector<std::string>{"\\\\MASTER\\Payroll "}));
}

TEST_F(Connections, WhatCannotBeConnectedSaysWhy) {
  EXPECT_EQ(Connect("\\\\MASTER\\Nothing", "holiday"), DWORD(ERROR_BAD_NET_NAME));
  EXPECT_EQ(Connect("\\\\MASTER", nullptr), DWORD(ERROR_BAD_NET_NAME));
  EXPECT_EQ(Connect("\\\\MASTER\\Shut", nullptr), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(Connected().empty());
}

// Every provider of the file is the one library, and the router asks each
// for its connections: each connection still comes once.
TEST_F(Connections, TheConnectedEnumerationListsEachConnectionOnceWithItsLocalName) {
  ASSERT_EQ(Connect("\\\\MASTER\\KORVELL", "holiday"), DWORD(NO_ERROR));
  ASSERT_EQ(Connect("\\\\MASTER\\Open", nullptr, nullptr, "K:"), DWORD(NO_ERROR));
  const auto records = Enumerate(RESOURCE_CONNECTED, RESOURCETYPE_ANY);
  ASSERT_EQ(records.size(), 2u);
  for (const auto& r : records)
    EXPECT_EQ(std::tuple(r.scope, r.type, r.displayType, r.usage, r.provider),
              std::tuple(DWORD(RESOURCE_CONNECTED), DWORD(RESOURCETYPE_DISK), DWORD(RESOURCEDISPLAYTYPE_SHARE),
                         DWORD(RESOURCEUSAGE_CONNECTABLE), std::string("Office Network")));
  EXPECT_EQ(Connected(), (std::vector<std::string>{"\\\\MASTER\\KORVELL ", "\\\\MASTER\\Open K:"}));
  EXPECT_TRUE(Connected(RESOURCETYPE_PRINT).empty());

  EXPECT_EQ(WNetCancelConnection2A("k:", 0, TRUE), DWORD(NO_ERROR));
  EXPECT_EQ(Connected(), (std::vector<std::string>{"\\\\MASTER\\KORVELL "}));
  EXPECT_TRUE(IsFolder("\\\\MASTER\\KORVELL"));
}

TEST_F(Connections, AnUnlistedServerIsNotBrowsedYetOpensByName) {
  NETRESOURCEA provider{0,       0,       0,       RESOURCEUSAGE_CONTAINER,
                        nullptr, nullptr, nullptr, const_cast<char*>("Office Network")};
  EXPECT_TRUE(Enumerate(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, &provider).empty());
  NETRESOURCEA master = provider;
  master.lpRemoteName = const_cast<char*>("\\\\MASTER");
  EXPECT_EQ(Enumerate(RESOURCE_GLOBALNET, RESOURCETYPE_DISK, &master).size(), 4u);
  EXPECT_EQ(Connect("\\\\MASTER\\KORVELL", "holiday"), DWORD(NO_ERROR));
}

// The registered description (NetworkMain.cpp) has an unlisted server.
TEST(NetProviderSetup, MakesTheFoldersOfUnlistedSharesButNotOfProtectedOnes) {
  EXPECT_TRUE(IsFolder("\\\\HIDDEN\\Stock\\dats"));
  EXPECT_FALSE(IsFolder("\\\\HIDDEN\\Safe"));
}

}  // namespace
