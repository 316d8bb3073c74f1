// The network resource model against Wine's network provider router, with
// the stand-in provider serving the network that each test describes.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <winnetwk.h>

#include <cstdio>

#include "errorreport/vbwCommon.h"
#include "network/NetResource.h"
#include "network/NetResources.h"
#include "support/ErrorDialogStandIn.h"
#include "support/NetProviderSandbox.h"

using basic::Variant;

namespace {

using Names = std::vector<std::wstring>;

constexpr const char* kOffice = R"(
provider Office Network
  domain KORVELL
    server MASTER | comment Holiday planner
      share Korvell
      share Users | comment Home folders
      printer Laser
      adminshare C$
      share Archive | closed
      printer Colour
    server SLAVE1
  workgroup HOME
provider Lab Network
  workgroup LAB
)";

Names RemoteNames(NetResource& node) {
  Names names;
  for (const auto& child : *node.Children()) names.push_back(child->RemoteName());
  return names;
}

// A node as the selector takes it: its short name, its type's name and number.
std::wstring Described(const NetResource& node) {
  return node.ShortName() + L" " + node.ResourceTypeName() + L" " + std::to_wstring(node.ResourceType());
}

class Network : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vbwInitialize(); }
  // An error that reached the real dialog would end the program, and with
  // it the run, with exit code 0.
  void TearDown() override { EXPECT_TRUE(unexpected.Errors().empty()) << unexpected.Errors()[0].message.c_str(); }

  // The object at the end of a path of keys from the root, found as the
  // selector window finds it; null when a key is missing.
  std::shared_ptr<NetResource> Node(std::initializer_list<std::wstring> keys) {
    auto node = root;
    for (const auto& key : keys)
      if (node) node = node->Children()->Item(key);
    return node;
  }

  ErrorDialogStandIn unexpected{{6}};
  std::shared_ptr<NetResource> root = std::make_shared<NetResource>();
};

TEST_F(Network, TheRootStandsForTheWholeNetworkAndListsTheProviders) {
  EXPECT_EQ(root->RemoteName(), L"");
  EXPECT_EQ(Described(*root), L" Generic 0");
  EXPECT_TRUE(root->Fields().mvAmRoot);

  EXPECT_EQ(RemoteNames(*root), (Names{L"Office Network", L"Lab Network"}));
  for (const auto& provider : *root->Children()) EXPECT_EQ(provider->ResourceTypeName(), L"Network");
}

TEST_F(Network, EachLevelListsWhatTheProviderServesInItsOrder) {
  ServedNetwork served(kOffice);
  EXPECT_EQ(RemoteNames(*Node({L"Office Network"})), (Names{L"KORVELL", L"HOME"}));
  // Servers come in the printer enumeration too, and are still listed once.
  EXPECT_EQ(RemoteNames(*Node({L"Office Network", L"KORVELL"})), (Names{L"\\\\MASTER", L"\\\\SLAVE1"}));
  EXPECT_EQ(RemoteNames(*Node({L"Lab Network"})), (Names{L"LAB"}));

  const auto master = Node({L"Office Network", L"KORVELL", L"\\\\MASTER"});
  ASSERT_TRUE(master);
  EXPECT_EQ(Described(*master), L"MASTER Server 2");
  const auto& v = master->Fields();
  EXPECT_EQ(v.mvNetRes.dwScope, uint32_t(RESOURCE_GLOBALNET));
  EXPECT_EQ(v.mvNetRes.dwUsage, uint32_t(RESOURCEUSAGE_CONTAINER));
  EXPECT_EQ(v.mvNetRes.lpComment, L"Holiday planner");
  EXPECT_EQ(v.mvNetRes.lpProvider, L"Office Network");
  EXPECT_EQ(v.mvNetRes.lpLocalName, L"");  // read from a null pointer: set, and empty
  EXPECT_FALSE(v.mvAmRoot);
}

TEST_F(Network, AServerListsItsDiskSharesFirstThenItsPrinterShares) {
  ServedNetwork served(kOffice);
  const auto master = Node({L"Office Network", L"KORVELL", L"\\\\MASTER"});
  ASSERT_TRUE(master);
  Names shares;
  for (const auto& share : *master->Children()) shares.push_back(Described(*share));
  EXPECT_EQ(shares, (Names{L"Korvell Share 3", L"Users Share 3", L"C$ AdminShare 8", L"Archive Share 3",
                           L"Laser Printer 255", L"Colour Printer 255"}));
  EXPECT_EQ(master->Children()->Item(std::wstring(L"\\\\MASTER\\Laser"))->Fields().mvNetRes.dwType,
            uint32_t(RESOURCETYPE_PRINT));
}

TEST_F(Network, AContainerThatRefusesToOpenHasNoChildrenAndIsAskedAgainNextTime) {
  const auto network = [](const char* serverOptions) {
    return std::string("provider Office Network\n  domain KORVELL\n    server MASTER") + serverOptions +
           "\n      share Korvell\n";
  };
  ServedNetwork refusing(network(" | closed"));
  const auto master = Node({L"Office Network", L"KORVELL", L"\\\\MASTER"});
  ASSERT_TRUE(master);
  const auto first = master->Children();
  EXPECT_EQ(first->begin(), first->end());
  EXPECT_FALSE(master->Fields().mvGotChildren);

  ServedNetwork opening(network(""));
  EXPECT_EQ(RemoteNames(*master), (Names{L"\\\\MASTER\\Korvell"}));
  EXPECT_TRUE(master->Fields().mvGotChildren);
  EXPECT_EQ(first->begin(), first->end());  // each attempt has a collection of its own
}

TEST_F(Network, ChildrenOnceListedAreNotAskedForAgain) {
  ServedNetwork served(kOffice);
  const auto domain = Node({L"Office Network", L"KORVELL"});
  ASSERT_TRUE(domain);
  const auto children = domain->Children();

  ServedNetwork changed("provider Office Network\n  domain KORVELL\n    server OTHER\n");
  EXPECT_EQ(domain->Children(), children);
  EXPECT_EQ(RemoteNames(*domain), (Names{L"\\\\MASTER", L"\\\\SLAVE1"}));
}

// The first buffer holds 1024 bytes; the router needs about 1,300 for the
// 600-character name and 6,100 for the 3,000-character one.
TEST_F(Network, NamesOfAnyLengthArriveWholeAsTheBufferGrows) {
  ServedNetwork served(
      "provider Lab Network\n  workgroup LAB\n    server BIG\n      share short\n      share {300*n}\n"
      "      share {3000*w}\n      printer {600*p}\n");
  const auto big = Node({L"Lab Network", L"LAB", L"\\\\BIG"});
  ASSERT_TRUE(big);
  const std::wstring server = L"\\\\BIG\\";
  EXPECT_EQ(RemoteNames(*big), (Names{server + L"short", server + std::wstring(300, L'n'),
                                      server + std::wstring(3000, L'w'), server + std::wstring(600, L'p')}));
  EXPECT_EQ(big->Children()->Item(int32_t(2))->ShortName(), std::wstring(300, L'n'));
}

TEST_F(Network, TenThousandSharesArriveInTheOrderServed) {
  ServedNetwork served("provider Lab Network\n  workgroup LAB\n    server BIG\n      repeat 10000 share S%05d\n");
  const auto big = Node({L"Lab Network", L"LAB", L"\\\\BIG"});
  ASSERT_TRUE(big);
  const auto names = RemoteNames(*big);
  ASSERT_EQ(names.size(), 10000u);
  for (size_t i = 0; i < names.size(); ++i) {
    wchar_t expected[16];
    swprintf(expected, 16, L"\\\\BIG\\S%05u", unsigned(i + 1));
    ASSERT_EQ(names[i], expected);
  }
  EXPECT_EQ(big->Children()->Item(int32_t(10000))->ShortName(), L"S10000");
  EXPECT_EQ(big->Children()->Item(std::wstring(L"\\\\big\\s05000"))->ShortName(), L"S05000");
}

TEST_F(Network, ADuplicateRemoteNameIsReportedAsAnErrorOfTheCollectionAndTheRestFollows) {
  ServedNetwork served(
      "provider Office Network\n  domain KORVELL\n    server MASTER\n"
      "      share Data\n      share DATA\n      share Other\n");
  ErrorDialogStandIn user({6});
  const auto master = Node({L"Office Network", L"KORVELL", L"\\\\MASTER"});
  ASSERT_TRUE(master);
  EXPECT_EQ(RemoteNames(*master), (Names{L"\\\\MASTER\\Data", L"\\\\MASTER\\Other"}));
  EXPECT_TRUE(master->Fields().mvGotChildren);

  ASSERT_EQ(user.Errors().size(), 1u);
  EXPECT_EQ(user.Errors()[0].err.Number, 457);
  const std::wstring& message = user.Errors()[0].message;
  for (const wchar_t* line :
       {L"Error 457\r\n", L"Description: This key is already associated with an element of this collection\r\n",
        L"Module: NetResources\r\n", L"Procedure: Add\r\n"})
    EXPECT_NE(message.find(line), std::wstring::npos) << line;
}

TEST_F(Network, ItemFindsByKeyOrPositionAndOtherwiseGivesNothingWithoutAnError) {
  ServedNetwork served(kOffice);
  ErrorDialogStandIn user({6});
  const auto master = Node({L"Office Network", L"KORVELL", L"\\\\MASTER"});
  ASSERT_TRUE(master);
  const auto shares = master->Children();
  EXPECT_EQ(shares->Item(std::wstring(L"\\\\master\\KORVELL"))->ShortName(), L"Korvell");
  EXPECT_EQ(shares->Item(int32_t(1))->ShortName(), L"Korvell");
  EXPECT_EQ(shares->Item(int16_t(6))->ShortName(), L"Colour");
  for (const Variant& missing :
       {Variant(std::wstring(L"\\\\MASTER\\Nothing")), Variant(int32_t(0)), Variant(int32_t(7)), Variant()})
    EXPECT_EQ(shares->Item(missing), nullptr);
  EXPECT_TRUE(user.Errors().empty());
}

NetResource WithRecord(uint32_t displayType, const wchar_t* remoteName = L"") {
  NetResource node;
  node.NRStruct({0, 0, displayType, 0, {}, remoteName, {}, {}});
  return node;
}

TEST(NetResourceNames, EachDisplayTypeHasItsNameAndAPrinterIsNamedPrinter) {
  const Names names{L"Generic", L"Domain",     L"Server",    L"Share", L"File",         L"Group", L"Network",
                    L"Root",    L"AdminShare", L"Directory", L"Tree",  L"NDSContainer", L"",      L""};
  for (uint32_t type = 0; type < names.size(); ++type) {
    EXPECT_EQ(Described(WithRecord(type)), L" " + names[type] + L" " + std::to_wstring(type));
  }
  for (uint32_t type : {3u, 8u}) {
    auto printer = WithRecord(type);
    printer.IsPrinter(true);
    EXPECT_EQ(Described(printer), L" Printer 255");
  }
}

TEST(NetResourceNames, TheShortNameIsThePartAfterTheLastBackslash) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"\\\\server\\share", L"share"}, {L"\\\\server", L"server"},     {L"plain", L"plain"}, {L"", L""},
      {L"\\\\server\\", L""},           {L"\\\\s\\share\\dir", L"dir"},
  };
  for (const auto& [remote, shortName] : cases) EXPECT_EQ(WithRecord(3, remote).ShortName(), shortName) << remote;
  EXPECT_FALSE(WithRecord(3).Fields().mvAmRoot);
}

}  // namespace
