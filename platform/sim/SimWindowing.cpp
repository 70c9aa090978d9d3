#include "platform/sim/SimWindowing.h"

#include <strings.h>

#include <algorithm>

#include "platform/WinConst.h"
#include "platform/sim/SimClock.h"

WindowHandle cSimWindowing::CreateMainWindow(const std::string& className, const std::string& title,
                                             cWindowProcedure& procedure)
{
    WindowHandle handle = NextHandle;
    NextHandle += 0x10;
    Windows[handle] = {className, title, &procedure, false};
    return handle;
}

void cSimWindowing::DestroyWindow(WindowHandle window)
{
    auto it = Windows.find(window);
    if (it == Windows.end())
        return;
    intptr_t result = 0;
    if (it->second.Procedure)
        it->second.Procedure->HandleMessage(WM_DESTROY, 0, 0, result);
    for (auto timer = Timers.begin(); timer != Timers.end();)
        timer = timer->first.first == window ? Timers.erase(timer) : std::next(timer);
    Windows.erase(window);
    if (Foreground == window)
        Foreground = 0;
}

void cSimWindowing::SetWindowText(WindowHandle window, const std::string& text)
{
    auto it = Windows.find(window);
    if (it != Windows.end())
        it->second.Title = text;
}

std::string cSimWindowing::GetWindowText(WindowHandle window)
{
    auto it = Windows.find(window);
    return it == Windows.end() ? std::string() : it->second.Title;
}

void cSimWindowing::ShowWindow(WindowHandle window, bool visible)
{
    auto it = Windows.find(window);
    if (it != Windows.end())
        it->second.Visible = visible;
}

bool cSimWindowing::IsWindowVisible(WindowHandle window)
{
    auto it = Windows.find(window);
    return it != Windows.end() && it->second.Visible;
}

bool cSimWindowing::SetForegroundWindow(WindowHandle window)
{
    Prune();
    if (!Windows.count(window) || ForegroundLocked)
        return false;
    Foreground = window;
    return true;
}

WindowHandle cSimWindowing::FindWindow(const std::string& className, const std::string& title)
{
    Prune();
    for (const auto& [handle, window] : Windows)
        if ((className.empty() || strcasecmp(window.ClassName.c_str(), className.c_str()) == 0) &&
            (title.empty() || strcasecmp(window.Title.c_str(), title.c_str()) == 0))
            return handle;
    return 0;
}

bool cSimWindowing::PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    Prune();
    auto it = Windows.find(window);
    if (it == Windows.end())
        return false;
    if (it->second.Procedure != nullptr)
        PostLog.push_back({window, message, wParam, lParam});
    if (it->second.Answer) {
        // Another program handles its own queue, at once here.
        tAnswer answer = it->second.Answer;
        answer(message, wParam, lParam);
        return true;
    }
    if (it->second.Wake) {
        QueueForThread(window, {message, wParam, lParam, nullptr});
        return true;
    }
    Posted.push_back({window, message, wParam, lParam});
    return true;
}

WindowHandle cSimWindowing::CreateThreadWindow(const std::string& className, const std::string& title,
                                               cWindowProcedure& procedure, std::function<void()> wake)
{
    const WindowHandle handle = CreateMainWindow(className, title, procedure);
    Windows[handle].Wake = std::move(wake);
    return handle;
}

void cSimWindowing::QueueForThread(WindowHandle window, cQueued message)
{
    cWindow& target = Windows[window];
    target.Queue.push_back(std::move(message));
    if (ThreadDeliveryHeld)
        return;
    // The thread may destroy the window while it runs.
    std::function<void()> wake = target.Wake;
    wake();
}

bool cSimWindowing::DispatchThreadMessage(WindowHandle window)
{
    auto it = Windows.find(window);
    if (it == Windows.end() || it->second.Queue.empty())
        return false;
    cQueued message = std::move(it->second.Queue.front());
    it->second.Queue.pop_front();
    intptr_t result = 0;
    if (!it->second.Procedure->HandleMessage(message.Message, message.WParam, message.LParam, result))
        result = 0;
    if (message.Answer)
        *message.Answer = result;
    return true;
}

void cSimWindowing::HoldThreadDelivery(bool hold)
{
    ThreadDeliveryHeld = hold;
    if (hold)
        return;
    std::vector<std::function<void()>> wakes;
    for (const auto& [handle, window] : Windows)
        if (window.Wake && !window.Queue.empty())
            wakes.push_back(window.Wake);
    for (const auto& wake : wakes)
        wake();
}

bool cSimWindowing::SetTimer(WindowHandle window, uintptr_t id, uint32_t milliseconds)
{
    if (!Windows.count(window))
        return false;
    Timers[{window, id}] = {milliseconds, Clock.Now() + milliseconds};
    return true;
}

void cSimWindowing::KillTimer(WindowHandle window, uintptr_t id)
{
    Timers.erase({window, id});
}

int cSimWindowing::RunMessageLoop()
{
    constexpr uint64_t GUARD = 24ull * 3600 * 1000;
    RunUntil(Clock.Now() + GUARD);
    return QuitRequested ? QuitCode : -1;
}

void cSimWindowing::PostQuitMessage(int exitCode)
{
    QuitRequested = true;
    QuitCode = exitCode;
}

void cSimWindowing::ProcessMessages()
{
    DeliverPosted();
    while (!QuitRequested && FireNextDue(Clock.Now()))
        DeliverPosted();
}

intptr_t cSimWindowing::SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (window == BROADCAST_WINDOW) {
        Broadcasts_.push_back({message, wParam, lParam});
        std::vector<WindowHandle> handles;
        for (const auto& [handle, known] : Windows)
            handles.push_back(handle);
        // A receiver may destroy windows; each one is looked up again.
        for (WindowHandle handle : handles)
            SendMessage(handle, message, wParam, lParam);
        return 0;
    }
    Prune();
    auto it = Windows.find(window);
    if (it != Windows.end() && it->second.Answer) {
        tAnswer answer = it->second.Answer;
        return answer(message, wParam, lParam);
    }
    if (it == Windows.end() || !it->second.Procedure)
        return 0;
    if (it->second.Wake) {
        auto answer = std::make_shared<std::optional<intptr_t>>();
        QueueForThread(window, {message, wParam, lParam, answer});
        return answer->value_or(0);
    }
    intptr_t result = 0;
    if (!it->second.Procedure->HandleMessage(message, wParam, lParam, result))
        result = 0;
    return result;
}

bool cSimWindowing::EnumerateWindows(std::vector<cWindowInfo>& windows)
{
    windows.clear();
    if (EnumerationFails)
        return false;
    Prune();
    for (const auto& [handle, window] : Windows)
        windows.push_back({handle, window.ClassName, window.Title, window.ProcessId});
    return true;
}

WindowHandle cSimWindowing::AddWindow(const std::string& className, const std::string& title, uint32_t processId)
{
    WindowHandle handle = NextHandle;
    NextHandle += 0x10;
    cWindow window;
    window.ClassName = className;
    window.Title = title;
    window.Visible = true;
    window.ProcessId = processId;
    Windows[handle] = window;
    return handle;
}

bool cSimWindowing::GetTitleBarInfo(WindowHandle window, cTitleBarStates& states)
{
    auto it = Windows.find(window);
    if (it == Windows.end() || it->second.TitleBarFails)
        return false;
    states.fill(0);
    states[0] = it->second.TitleBarState;
    return true;
}

void cSimWindowing::SetTitleBarState(WindowHandle window, uint32_t state)
{
    auto it = Windows.find(window);
    if (it != Windows.end())
        it->second.TitleBarState = state;
}

void cSimWindowing::SetTitleBarFails(WindowHandle window, bool fails)
{
    auto it = Windows.find(window);
    if (it != Windows.end())
        it->second.TitleBarFails = fails;
}

void cSimWindowing::Schedule(uint64_t at, std::function<void()> action)
{
    Scheduled.emplace(at, std::move(action));
}

void cSimWindowing::RunUntil(uint64_t until)
{
    DeliverPosted();
    while (!QuitRequested && FireNextDue(until))
        DeliverPosted();
    if (!QuitRequested)
        Clock.AdvanceTo(until);
}

void cSimWindowing::DeliverPosted()
{
    while (!Posted.empty() && !QuitRequested) {
        cPosted message = Posted.front();
        Posted.pop_front();
        SendMessage(message.Window, message.Message, message.WParam, message.LParam);
    }
}

bool cSimWindowing::FireNextDue(uint64_t limit)
{
    auto timer = Timers.end();
    for (auto it = Timers.begin(); it != Timers.end(); ++it)
        if (timer == Timers.end() || it->second.Due < timer->second.Due)
            timer = it;
    auto action = Scheduled.begin();
    const bool timerDue = timer != Timers.end() && timer->second.Due <= limit;
    const bool actionDue = action != Scheduled.end() && action->first <= limit;
    if (!timerDue && !actionDue)
        return false;

    // Outside events first when both fall on the same moment.
    if (actionDue && (!timerDue || action->first <= timer->second.Due)) {
        Clock.AdvanceTo(action->first);
        std::function<void()> run = std::move(action->second);
        Scheduled.erase(action);
        run();
        return true;
    }
    Clock.AdvanceTo(timer->second.Due);
    const auto [window, id] = timer->first;
    // Like Windows, a timer whose handler overran does not fire twice to catch up.
    timer->second.Due = std::max(timer->second.Due + timer->second.Interval, Clock.Now() + 1);
    auto owner = Windows.find(window);
    if (owner != Windows.end() && owner->second.Wake) {
        // Like Windows, at most one WM_TIMER of a timer waits in a queue.
        const auto& queue = owner->second.Queue;
        const bool waiting = std::any_of(queue.begin(), queue.end(), [id = id](const cQueued& queued) {
            return queued.Message == WM_TIMER && queued.WParam == id;
        });
        if (!waiting)
            QueueForThread(window, {WM_TIMER, id, 0, nullptr});
        return true;
    }
    SendMessage(window, WM_TIMER, id, 0);
    return true;
}

void cSimWindowing::SetDeliverDuringSleep(bool deliver)
{
    if (!deliver) {
        Clock.SetSleepHook(nullptr);
        return;
    }
    Clock.SetSleepHook([this](uint64_t until) {
        while (!Scheduled.empty() && Scheduled.begin()->first <= until) {
            auto action = Scheduled.begin();
            Clock.AdvanceTo(action->first);
            std::function<void()> run = std::move(action->second);
            Scheduled.erase(action);
            run();
        }
    });
}

WindowHandle cSimWindowing::GetForegroundWindow()
{
    Prune();
    return Foreground;
}

void cSimWindowing::Prune()
{
    const uint64_t now = Clock.Now();
    for (auto it = Windows.begin(); it != Windows.end();) {
        if (it->second.ClosesAt <= now) {
            if (Foreground == it->first)
                Foreground = 0;
            it = Windows.erase(it);
        } else {
            ++it;
        }
    }
}

uint32_t cSimWindowing::RegisterWindowMessage(const std::string& name)
{
    auto [it, added] = RegisteredMessages.emplace(name, 0);
    if (added)
        it->second = 0xC000 + static_cast<uint32_t>(RegisteredMessages.size()) - 1;
    return it->second;
}

bool cSimWindowing::SendMessageTimeout(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                                       uint32_t /*flags*/, uint32_t /*timeout*/, uintptr_t& result)
{
    Prune();
    if (!Windows.count(window))
        return false;
    result = static_cast<uintptr_t>(SendMessage(window, message, wParam, lParam));
    return true;
}

uint32_t cSimWindowing::SendKeyboardInput(const std::vector<cKeyEvent>& events)
{
    constexpr uint16_t VK_MENU = 0x12;
    constexpr uint16_t VK_ESCAPE = 0x1B;
    constexpr uint16_t VK_F4 = 0x73;
    for (const cKeyEvent& event : events) {
        KeyEvents_.push_back(event);
        if (event.VirtualKey == VK_MENU) {
            AltDown = !event.KeyUp;
            continue;
        }
        if (event.KeyUp || !AltDown)
            continue;
        const WindowHandle foreground = GetForegroundWindow();
        if (event.VirtualKey == VK_ESCAPE && !ForegroundLocked && !Windows.empty()) {
            // The next window of the desktop, from the first again after the last.
            auto next = Windows.upper_bound(foreground);
            Foreground = next == Windows.end() ? Windows.begin()->first : next->first;
        } else if (event.VirtualKey == VK_F4 && foreground != 0) {
            PostMessage(foreground, WM_CLOSE, 0, 0);
        }
    }
    return static_cast<uint32_t>(events.size());
}

bool cSimWindowing::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int /*x*/, int /*y*/, int /*width*/,
                                 int /*height*/, uint32_t flags)
{
    Prune();
    if (!Windows.count(window))
        return false;
    Placements_.push_back({window, insertAfter, flags});
    return true;
}

void cSimWindowing::SetWindowAnswer(WindowHandle window, tAnswer answer)
{
    auto it = Windows.find(window);
    if (it != Windows.end())
        it->second.Answer = std::move(answer);
}

void cSimWindowing::CloseWindowsOfProcess(uint32_t processId, uint64_t at)
{
    for (auto& [handle, window] : Windows)
        if (window.ProcessId == processId && window.Procedure == nullptr)
            window.ClosesAt = std::min(window.ClosesAt, at);
}

void cSimWindowing::RequestCloseOfProcess(uint32_t processId)
{
    Prune();
    std::vector<WindowHandle> handles;
    for (const auto& [handle, window] : Windows)
        if (window.ProcessId == processId && window.Procedure == nullptr)
            handles.push_back(handle);
    for (WindowHandle handle : handles)
        PostMessage(handle, WM_CLOSE, 0, 0);
}

std::unique_ptr<cSettingsView> cSimWindowing::CreateSettingsView(WindowHandle, cSettingsViewListener& listener)
{
    auto view = std::make_unique<cSimSettingsView>(static_cast<cSimSettingsView::cOwner&>(*this), listener);
    View = view.get();
    return view;
}

void cSimWindowing::Forget(cSimSettingsView& view)
{
    if (View == &view)
        View = nullptr;
}
