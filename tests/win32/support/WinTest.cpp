#include "WinTest.h"

#include "Pump.h"
#include "Watchdog.h"

namespace wintest {

void WinTest::SetUp()
{
    const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
    Watchdog::Instance().Arm(std::string(pInfo->test_suite_name()) + "." + pInfo->name(), kTimeoutMs);
}

void WinTest::TearDown()
{
    ExpectNoUnexpectedBoxes();
    Watchdog::Instance().Disarm();
}

void WinTest::ExpectNoUnexpectedBoxes()
{
    for (const std::string& text : Watchdog::Instance().TakeUnexpected())
        ADD_FAILURE() << "unexpected box: " << text;
}

} // namespace wintest
