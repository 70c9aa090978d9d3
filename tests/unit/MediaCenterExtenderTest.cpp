#include <gtest/gtest.h>

#include <memory>

#include "detection/MediaCenterExtender.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr const char* UMB_KEY = "SYSTEM\\CurrentControlSet\\Enum\\IPBusEnumRoot\\UMB";

// A main window that hands its session-change messages to the counter.
class cSessionWindow : public cWindowProcedure {
public:
    bool HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override
    {
        if (message != WM_WTSSESSION_CHANGE)
            return false;
        ++Changes;
        if (Counter != nullptr)
            Counter->OnSessionChange(wParam, lParam);
        result = 0;
        return true;
    }

    cMediaCenterExtender* Counter = nullptr;
    int Changes = 0;
};

struct cSessionCase {
    const char* Name;
    int State;
    const char* User;
    uint16_t Protocol;
    int Extenders, Rdp;
};

TEST(MediaCenterExtender, CountsActiveRdpSessionsAsExtendersByTheirUserName)
{
    const cSessionCase cases[] = {
        {"extender", TS_STATE_ACTIVE, "Mcx1-HTPC", TS_PROTOCOL_RDP, 1, 0},
        {"mark inside the name", TS_STATE_ACTIVE, "HTPC-Mcx2", TS_PROTOCOL_RDP, 1, 0},
        {"other case is not an extender", TS_STATE_ACTIVE, "mcx1-HTPC", TS_PROTOCOL_RDP, 0, 1},
        {"ordinary remote desktop", TS_STATE_ACTIVE, "Alice", TS_PROTOCOL_RDP, 0, 1},
        {"disconnected extender", TS_STATE_DISCONNECTED, "Mcx1-HTPC", TS_PROTOCOL_RDP, 0, 0},
        {"connected, not yet active", TS_STATE_CONNECTED, "Alice", TS_PROTOCOL_RDP, 0, 0},
        {"console", TS_STATE_ACTIVE, "Mcx1-HTPC", TS_PROTOCOL_CONSOLE, 0, 0},
        {"other protocol", TS_STATE_ACTIVE, "Alice", 1, 0, 0},
    };
    for (const cSessionCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cSimWindows sim;
        sim.Sessions().AddSession(3, c.State, c.User, c.Protocol);
        cMediaCenterExtender counter(sim.Get());
        EXPECT_EQ(counter.GetExtendersInUseCount(), c.Extenders);
        EXPECT_EQ(counter.GetRdpSessionsInUse(), c.Rdp);
    }
}

TEST(MediaCenterExtender, SessionsThatCannotAnswerAQueryAreNotCounted)
{
    const uint32_t items[] = {TS_INFO_CLIENT_DISPLAY, TS_INFO_CLIENT_ADDRESS, TS_INFO_CLIENT_PROTOCOL_TYPE,
                              TS_INFO_USER_NAME};
    for (uint32_t item : items) {
        SCOPED_TRACE(item);
        cSimWindows sim;
        sim.Sessions().AddSession(3, TS_STATE_ACTIVE, "Mcx1-HTPC", TS_PROTOCOL_RDP);
        sim.Sessions().AddSession(4, TS_STATE_ACTIVE, "Alice", TS_PROTOCOL_RDP);
        sim.Sessions().FailInformation(3, item);
        sim.Sessions().FailInformation(4, item);
        cMediaCenterExtender counter(sim.Get());
        EXPECT_EQ(counter.GetExtendersInUseCount(), 0);
        EXPECT_EQ(counter.GetRdpSessionsInUse(), 0);
    }
    // A protocol type too short to hold its number.
    cSimWindows sim;
    sim.Sessions().AddSession(4, TS_STATE_ACTIVE, "Alice", TS_PROTOCOL_RDP);
    sim.Sessions().SetInformation(4, TS_INFO_CLIENT_PROTOCOL_TYPE, {2});
    EXPECT_EQ(cMediaCenterExtender(sim.Get()).GetRdpSessionsInUse(), 0);
}

TEST(MediaCenterExtender, AnEndingSessionIsLeftOutWhileItIsStillListed)
{
    const std::pair<uint32_t, bool> reasons[] = {
        {TS_CHANGE_CONSOLE_CONNECT, false}, {TS_CHANGE_CONSOLE_DISCONNECT, true},
        {TS_CHANGE_REMOTE_CONNECT, false},  {TS_CHANGE_REMOTE_DISCONNECT, true},
        {TS_CHANGE_SESSION_LOGON, false},   {TS_CHANGE_SESSION_LOGOFF, true},
        {0, false},                         {7, false},
    };
    cSimWindows sim;
    sim.Sessions().AddSession(3, TS_STATE_ACTIVE, "Mcx1-HTPC", TS_PROTOCOL_RDP);
    sim.Sessions().AddSession(4, TS_STATE_ACTIVE, "Mcx2-HTPC", TS_PROTOCOL_RDP);
    sim.Sessions().AddSession(5, TS_STATE_ACTIVE, "Alice", TS_PROTOCOL_RDP);
    cMediaCenterExtender counter(sim.Get());
    for (const auto& [reason, ending] : reasons) {
        SCOPED_TRACE(reason);
        counter.OnSessionChange(reason, 3);
        EXPECT_EQ(counter.GetExtendersInUseCount(), ending ? 1 : 2);
        EXPECT_EQ(counter.GetRdpSessionsInUse(), 1);
        counter.OnSessionChange(reason, 5);
        EXPECT_EQ(counter.GetExtendersInUseCount(), 2);
        EXPECT_EQ(counter.GetRdpSessionsInUse(), ending ? 0 : 1);
    }
    // Another session's logoff leaves these counted.
    counter.OnSessionChange(TS_CHANGE_SESSION_LOGOFF, 9);
    EXPECT_EQ(counter.GetExtendersInUseCount(), 2);

    // A failed enumeration counts nothing.
    sim.Sessions().SetEnumerationFails(true);
    counter.OnSessionChange(TS_CHANGE_SESSION_LOGON, 6);
    EXPECT_EQ(counter.GetExtendersInUseCount(), 0);
    EXPECT_EQ(counter.GetRdpSessionsInUse(), 0);
}

TEST(MediaCenterExtender, RegisteredExtendersAreTheUmbSubkeysAtConstruction)
{
    cSimWindows sim;
    EXPECT_EQ(cMediaCenterExtender(sim.Get()).GetRegisteredExtenders(), 0);
    sim.Registry().CreateKey(eHive::LocalMachine, std::string(UMB_KEY) + "\\Device1");
    sim.Registry().CreateKey(eHive::LocalMachine, std::string(UMB_KEY) + "\\Device2");
    sim.Registry().SetString(eHive::LocalMachine, UMB_KEY, "NotAKey", "x");
    cMediaCenterExtender counter(sim.Get());
    EXPECT_EQ(counter.GetRegisteredExtenders(), 2);
    sim.Registry().CreateKey(eHive::LocalMachine, std::string(UMB_KEY) + "\\Device3");
    EXPECT_EQ(counter.GetRegisteredExtenders(), 2);
}

TEST(MediaCenterExtender, RegistrationRecountsThroughTheWindowsOwnMessage)
{
    cSimWindows sim;
    cSessionWindow procedure;
    const WindowHandle window = sim.Windowing().CreateMainWindow("TApplication", "Slumberhold", procedure);
    {
        cMediaCenterExtender counter(sim.Get());
        procedure.Counter = &counter;
        EXPECT_EQ(counter.GetRdpSessionsInUse(), 0);
        // A session arrives unnoticed before the registration.
        sim.Sessions().AddSession(5, TS_STATE_ACTIVE, "Alice", TS_PROTOCOL_RDP);
        ASSERT_TRUE(counter.RegisterSessionNotification(window));
        EXPECT_EQ(sim.Sessions().RegistrationFlags(window), TS_NOTIFY_ALL_SESSIONS);
        EXPECT_EQ(procedure.Changes, 1);
        EXPECT_EQ(counter.GetRdpSessionsInUse(), 1);
        procedure.Counter = nullptr;
    }
    EXPECT_FALSE(sim.Sessions().IsRegistered(window));

    // Without the notification call: no message, the counts stay as counted
    // at construction.
    sim.Sessions().SetRegistrationAvailable(false);
    sim.Sessions().RemoveSession(5);
    cMediaCenterExtender counter(sim.Get());
    procedure.Counter = &counter;
    sim.Sessions().AddSession(5, TS_STATE_ACTIVE, "Alice", TS_PROTOCOL_RDP);
    EXPECT_FALSE(counter.RegisterSessionNotification(window));
    EXPECT_EQ(procedure.Changes, 1);
    EXPECT_EQ(counter.GetRdpSessionsInUse(), 0);
    procedure.Counter = nullptr;
}

}  // namespace
