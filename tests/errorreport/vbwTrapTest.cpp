// The procedure protocol: each action code of the handler, and processor
// exceptions raised as error 65535 in the procedure that had them.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <psapi.h>

#include "basic/Err.h"
#include "errorreport/vbwCommon.h"
#include "errorreport/vbwTrap.h"
#include "support/EmulatedProcessor.h"
#include "support/ErrorDialogStandIn.h"

namespace {

int* volatile g_nowhere = nullptr;
volatile int g_zero = 0;

void AccessViolation() { *g_nowhere = 1; }
int DivideByZero() { return 1 / g_zero; }

// A guarded procedure of three statements whose second fails `failures`
// times; it reports which statements ran to their end.
std::string ThreeStatements(int failures) {
  std::string ran;
  vbwTrap trap(L"TestModule", L"ThreeStatements");
  trap(1, [&] { ran += '1'; });
  trap(2, [&] {
    if (failures-- > 0) basic::Raise(basic::errTypeMismatch);
    ran += '2';
  });
  trap(3, [&] { ran += '3'; });
  return ran;
}

void Fault(void (*fault)()) {
  vbwTrap trap(L"TestModule", L"Outer");
  trap(1, [&] { fault(); });
}

class Protocol : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vbwInitialize(); }
};

TEST_F(Protocol, RetryRunsTheFailingStatementAgain) {
  ErrorDialogStandIn user({4});
  EXPECT_EQ(ThreeStatements(2), "123");
  EXPECT_EQ(user.Errors().size(), 2u);
}

TEST_F(Protocol, DebuggerAnswerRetriesWithoutADebuggerAttached) {
  ErrorDialogStandIn user({7});
  EXPECT_EQ(ThreeStatements(1), "123");
}

TEST_F(Protocol, SkipGoesOnWithTheNextStatement) {
  ErrorDialogStandIn user({5});
  EXPECT_EQ(ThreeStatements(1), "13");
}

// A report request (8) goes on to the report package first; its tests are
// with the package's.
TEST_F(Protocol, LeaveAndEveryOtherAnswerReturnNormally) {
  for (int32_t answer : {6, 0, 42}) {
    ErrorDialogStandIn user({answer});
    EXPECT_EQ(ThreeStatements(1), "1") << "answer " << answer;
  }
}

TEST_F(Protocol, TheHandlerLearnsProjectModuleProcedureAndLine) {
  ErrorDialogStandIn user({6});
  ThreeStatements(1);
  ASSERT_EQ(user.Errors().size(), 1u);
  const std::wstring& message = user.Errors()[0].message;
  EXPECT_NE(message.find(L"Error 13\r\nDescription: Type mismatch\r\nProject: Tamsel\r\n"
                         L"Module: TestModule\r\nProcedure: ThreeStatements\r\nLine: 2\r\n"),
            std::wstring::npos);
  EXPECT_EQ(user.Errors()[0].err.Number, 13);
}

// An end through the error layer is a failure for whoever started the program.
TEST_F(Protocol, EndAnswerEndsTheProgramAtOnceAsAFailure) {
  EXPECT_EXIT(
      {
        ErrorDialogStandIn user({3});
        ThreeStatements(1);
        fprintf(stderr, "still running");
      },
      ::testing::ExitedWithCode(1), "^$");
}

TEST_F(Protocol, AnErrorOfAnUnguardedCalleeReachesTheCallersTrap) {
  ErrorDialogStandIn user({6});
  vbwTrap trap(L"TestModule", L"Caller");
  trap(7, [] { basic::Raise(basic::errPathNotFound); });
  EXPECT_TRUE(trap.Leaving());
  EXPECT_NE(user.Errors()[0].message.find(L"Procedure: Caller\r\nLine: 7"), std::wstring::npos);
}

TEST_F(Protocol, AnAccessViolationIsError65535InTheProcedureThatHadIt) {
  SKIP_WHERE_FAULTS_ARE_EMULATED();
  ErrorDialogStandIn user({6});
  Fault(&AccessViolation);
  ASSERT_EQ(user.Errors().size(), 1u);
  EXPECT_EQ(user.Errors()[0].err.Number, 65535);
  EXPECT_EQ(user.Errors()[0].err.Description, L"Exception: Access Violation");
  EXPECT_NE(user.Errors()[0].message.find(L"Procedure: Outer\r\nLine: 1"), std::wstring::npos);
}

TEST_F(Protocol, ADivisionByZeroIsReportedByItsName) {
  SKIP_WHERE_FAULTS_ARE_EMULATED();
  ErrorDialogStandIn user({6});
  int result = -1;
  vbwTrap trap(L"TestModule", L"Divide");
  trap(1, [&] { result = DivideByZero(); });
  EXPECT_EQ(result, -1);
  EXPECT_EQ(user.Errors().at(0).err.Description, L"Exception: Integer Divide By Zero");
}

TEST_F(Protocol, AFaultThatIsSkippedLetsTheProcedureGoOn) {
  ErrorDialogStandIn user({5});
  bool after = false;
  vbwTrap trap(L"TestModule", L"Skip");
  trap(1, [] { AccessViolation(); });
  trap(2, [&] { after = true; });
  EXPECT_TRUE(after);
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  return counters.PrivateUsage;
}

TEST_F(Protocol, AThousandAccessViolationsInARowLeakNothing) {
  ErrorDialogStandIn user({6});
  for (int i = 0; i < 50; ++i) Fault(&AccessViolation);  // warm up the allocator
  const size_t before = PrivateBytes();
  for (int i = 0; i < 1000; ++i) Fault(&AccessViolation);
  EXPECT_LT(PrivateBytes(), before + 512 * 1024);
  EXPECT_EQ(user.Errors().size(), 1050u);
}

}  // namespace
