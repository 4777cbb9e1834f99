#include "runtime/interp/message_filters.h"
#include "runtime/interp/message_pump.h"
#include "runtime/interp/os_clock.h"
#include "runtime/interp/os_message_pump.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// Records what it sees under its name and answers a fixed result for one
// message number.
class RecordingFilter : public CIBaseMessages {
public:
    RecordingFilter(CMessageFilters& list, std::vector<std::string>& log, const char* name, uint32_t message = 0,
                    int32_t result = 0)
        : CIBaseMessages(list), m_log(log), m_name(name), m_message(message), m_result(result) {}
    int32_t Filter(const OsMessage& message) override {
        if (message.message < kOsMessageUser)
            return 0;  // the platform's own traffic
        m_log.push_back(m_name + ":" + std::to_string(message.message - kOsMessageUser) + ":" +
                        std::to_string(message.wParam));
        return message.message == m_message ? m_result : 0;
    }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
    uint32_t m_message;
    int32_t m_result;
};

void DrainQueue() {
    while (OsMessageWaiting()) {
        OsMessage m;
        if (OsGetMessage(&m) != 0)
            OsDispatchMessage(&m);
    }
}

TEST(MessageFilters, OfferedInRegistrationOrderUntilOneAnswers) {
    DrainQueue();
    CMessageFilters filters;
    std::vector<std::string> log;
    RecordingFilter a(filters, log, "a", kOsMessageUser + 1, 1);  // seen, still dispatched
    RecordingFilter b(filters, log, "b", kOsMessageUser + 2, 2);  // consumed
    RecordingFilter c(filters, log, "c");
    ASSERT_TRUE(OsPostThreadMessage(kOsMessageUser + 1, 11, 0));
    ASSERT_TRUE(OsPostThreadMessage(kOsMessageUser + 2, 22, 0));
    ASSERT_TRUE(OsPostThreadMessage(kOsMessageUser + 3, 33, 0));
    PumpWaitingMessages(filters, 100);
    EXPECT_EQ(log, (std::vector<std::string>{"a:1:11", "a:2:22", "b:2:22", "a:3:33", "b:3:33", "c:3:33"}));
    EXPECT_FALSE(OsMessageWaiting());
}

TEST(MessageFilters, NinthFilterIsRefusedAndAFilterLeavesWhenDestroyed) {
    CMessageFilters filters;
    std::vector<std::string> log;
    std::vector<std::unique_ptr<RecordingFilter>> owned;
    for (int i = 0; i < 9; ++i)
        owned.push_back(std::make_unique<RecordingFilter>(filters, log, "f"));
    EXPECT_EQ(filters.GetCount(), 8);
    EXPECT_TRUE(owned[7]->IsRegistered());
    EXPECT_FALSE(owned[8]->IsRegistered());
    owned[2].reset();  // leaves; the order of the others stays
    EXPECT_EQ(filters.GetCount(), 7);
    EXPECT_TRUE(owned[3]->IsRegistered());
    owned.push_back(std::make_unique<RecordingFilter>(filters, log, "late"));
    EXPECT_TRUE(owned.back()->IsRegistered());
    owned.clear();
    EXPECT_EQ(filters.GetCount(), 0);
}

TEST(MessagePump, QuitIsDroppedByThePumpAndReportedByTheSingleStep) {
    DrainQueue();
    CMessageFilters filters;
    std::vector<std::string> log;
    RecordingFilter f(filters, log, "f");
    OsPostThreadMessage(kOsMessageQuit, 0, 0);
    OsPostThreadMessage(kOsMessageUser + 4, 4, 0);
    PumpWaitingMessages(filters, 100);
    EXPECT_EQ(log, (std::vector<std::string>{"f:4:4"}));

    OsPostThreadMessage(kOsMessageQuit, 0, 0);
    OsPostThreadMessage(kOsMessageUser + 5, 5, 0);
    EXPECT_TRUE(PumpOneMessage(filters));
    EXPECT_FALSE(PumpOneMessage(filters));
    EXPECT_FALSE(PumpOneMessage(filters));  // nothing waits
    EXPECT_EQ(log.back(), "f:5:5");
}

TEST(MessagePump, IdleSleepFollowsTheSpeedSetting) {
    struct Case {
        uint32_t speed;
        uint32_t ms;
    };
    const Case cases[] = {{0, 50}, {1, 49}, {50, 25}, {98, 1}, {99, 0}, {100, 0}, {101, 0},
                          {200, 0}, {0x7FFFFFFFu, 0}, {0xFFFFFFFFu, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(IdleSleepMs(c.speed), c.ms) << "speed " << c.speed;
}

TEST(MessagePump, IdlePumpSleepsOnlyBelowFullSpeed) {
    DrainQueue();
    CMessageFilters filters;
    uint32_t start = OsTimeMs();
    PumpWaitingMessages(filters, 0);
    uint32_t slept = OsTimeMs() - start;
    EXPECT_GE(slept, 40u);
    EXPECT_LT(slept, 1000u);

    // Twenty pumps at full speed against twenty idle sleeps of 50 ms: the
    // bound sits far from both, so a loaded machine cannot tip it.
    start = OsTimeMs();
    for (int i = 0; i < 20; ++i)
        PumpWaitingMessages(filters, 100);
    EXPECT_LT(OsTimeMs() - start, 500u);

    // A waiting message is taken instead of sleeping: ten pumps, each with a
    // message waiting, take far less than ten sleeps.
    std::vector<std::string> log;
    RecordingFilter f(filters, log, "f");
    start = OsTimeMs();
    for (int i = 0; i < 10; ++i) {
        OsPostThreadMessage(kOsMessageUser + 6, 6, 0);
        PumpWaitingMessages(filters, 0);
    }
    EXPECT_LT(OsTimeMs() - start, 250u);
    EXPECT_EQ(log.size(), 10u);
    EXPECT_EQ(log.front(), "f:6:6");
}

TEST(MessagePump, TimeTestsSurviveTheClockWrapping) {
    EXPECT_FALSE(IsPumpDue(1000, 950));
    EXPECT_TRUE(IsPumpDue(1001, 950));
    EXPECT_FALSE(IsPumpDue(20, 0xFFFFFFF0u));  // 36 ms later, across the wrap
    EXPECT_TRUE(IsPumpDue(40, 0xFFFFFFF0u));   // 56 ms later
    EXPECT_FALSE(HasElapsed(5, 0xFFFFFFFBu, 100));  // 10 ms after the wrap of a 100 ms wait
    EXPECT_TRUE(HasElapsed(100, 0xFFFFFFFBu, 100));
}

}  // namespace
