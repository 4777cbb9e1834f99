// The pump over a real Windows message queue: filters see window messages
// before dispatch, a consumed message never reaches its window, key messages
// are translated, and the idle sleep wakes up for input.
#include "runtime/interp/message_filters.h"
#include "runtime/interp/message_pump.h"
#include "runtime/interp/os_clock.h"
#include "runtime/interp/os_message_pump.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<UINT>* g_received;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_received != nullptr && (msg >= WM_USER || msg == WM_CHAR || msg == WM_KEYDOWN))
        g_received->push_back(msg);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class PumpWindow : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TwPumpTestWindow";
        RegisterClassA(&wc);
        window = CreateWindowA("TwPumpTestWindow", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        g_received = &received;
        Drain();
        received.clear();
    }
    void TearDown() override {
        g_received = nullptr;
        DestroyWindow(window);
        Drain();
    }
    static void Drain() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }

    HWND window = nullptr;
    std::vector<UINT> received;
};

class TestFilter : public CIBaseMessages {
public:
    TestFilter(CMessageFilters& list, UINT message, int32_t result) : CIBaseMessages(list), m_message(message), m_result(result) {}
    int32_t Filter(const OsMessage& message) override {
        // The platform layer reads the message as the system's own record.
        const MSG* msg = reinterpret_cast<const MSG*>(&message);
        if (msg->message == m_message) {
            seen.push_back(msg->message);
            windows.push_back(msg->hwnd);
            return m_result;
        }
        return 0;
    }
    std::vector<UINT> seen;
    std::vector<HWND> windows;

private:
    UINT m_message;
    int32_t m_result;
};

TEST_F(PumpWindow, PostedMessageReachesFilterAndConsumedOneNeverItsWindow) {
    CMessageFilters filters;
    TestFilter consumer(filters, WM_USER + 1, CIBaseMessages::kConsumed);
    TestFilter watcher(filters, WM_USER + 2, 1);
    ASSERT_TRUE(PostMessageA(window, WM_USER + 1, 0, 0));
    ASSERT_TRUE(PostMessageA(window, WM_USER + 2, 0, 0));
    ASSERT_TRUE(PostMessageA(window, WM_USER + 3, 0, 0));
    PumpWaitingMessages(filters, 100);
    EXPECT_EQ(consumer.seen, std::vector<UINT>{WM_USER + 1});
    EXPECT_EQ(consumer.windows, std::vector<HWND>{window});
    EXPECT_EQ(watcher.seen, std::vector<UINT>{WM_USER + 2});
    EXPECT_EQ(received, (std::vector<UINT>{WM_USER + 2, WM_USER + 3}));
}

TEST_F(PumpWindow, KeyMessagesAreTranslatedUnlessConsumed) {
    CMessageFilters filters;
    PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
    PumpWaitingMessages(filters, 100);
    Drain();  // the translated character is posted behind the key
    EXPECT_EQ(received, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));

    received.clear();
    TestFilter keys(filters, WM_KEYDOWN, CIBaseMessages::kConsumed);
    PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
    PumpWaitingMessages(filters, 100);
    Drain();
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(keys.seen.size(), 1u);
}

TEST_F(PumpWindow, IdleSleepHappensBelowFullSpeedOnly) {
    CMessageFilters filters;
    uint32_t start = OsTimeMs();
    PumpWaitingMessages(filters, 0);
    uint32_t slept = OsTimeMs() - start;
    EXPECT_GE(slept, 40u);
    EXPECT_LT(slept, 1000u);

    start = OsTimeMs();
    PumpWaitingMessages(filters, 50);
    slept = OsTimeMs() - start;
    EXPECT_GE(slept, 15u);
    EXPECT_LT(slept, 1000u);

    start = OsTimeMs();
    for (int i = 0; i < 20; ++i) {
        PumpWaitingMessages(filters, 100);
        PumpWaitingMessages(filters, 250);  // above 100: never sleeps
    }
    EXPECT_LT(OsTimeMs() - start, 500u);

    // A message waiting before the pump is taken instead of sleeping.
    PostMessageA(window, WM_USER + 7, 0, 0);
    start = OsTimeMs();
    PumpWaitingMessages(filters, 0);
    EXPECT_LT(OsTimeMs() - start, 40u);
    EXPECT_EQ(received, std::vector<UINT>{WM_USER + 7});
}

TEST_F(PumpWindow, QuitEndsTheSingleStepButIsDroppedByThePump) {
    CMessageFilters filters;
    PostQuitMessage(0);
    PostMessageA(window, WM_USER + 9, 0, 0);
    EXPECT_TRUE(PumpOneMessage(filters) || PumpOneMessage(filters));
    Drain();
    PostQuitMessage(0);
    PumpWaitingMessages(filters, 100);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

}  // namespace
