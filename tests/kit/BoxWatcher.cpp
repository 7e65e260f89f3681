#include "tests/kit/BoxWatcher.h"

#include <algorithm>

namespace {
// A box that lacks the answer's button is not the box the test waits for: a
// message box ends on any button id posted to it, even one it does not show.
bool Matches(const BoxWatcher::Answer& answer, HWND window, const std::string& title)
{
    return answer.Title == title && (answer.Button == 0 || ::GetDlgItem(window, answer.Button));
}
}

BoxWatcher::BoxWatcher()
    : Worker([this] { Run(); })
{
}

BoxWatcher::~BoxWatcher()
{
    {
        std::lock_guard<std::mutex> guard(Lock);
        Stop = true;
    }
    Worker.join();
}

void BoxWatcher::Expect(const std::string& title, int button, std::function<void(HWND)> action)
{
    std::lock_guard<std::mutex> guard(Lock);
    Answers.push_back({title, button, std::move(action)});
}

std::vector<BoxWatcher::Box> BoxWatcher::Seen() const
{
    std::lock_guard<std::mutex> guard(Lock);
    return Boxes;
}

std::vector<std::string> BoxWatcher::Transcript() const
{
    std::vector<std::string> lines;
    for (const Box& box : Seen()) lines.push_back(box.Title + "|" + box.Text);
    return lines;
}

std::size_t BoxWatcher::PendingAnswers() const
{
    std::lock_guard<std::mutex> guard(Lock);
    return Answers.size();
}

void BoxWatcher::Clear()
{
    std::lock_guard<std::mutex> guard(Lock);
    Answers.clear();
    Boxes.clear();
}

void BoxWatcher::Run()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(Lock);
            if (Stop) return;
            Handled.erase(std::remove_if(Handled.begin(), Handled.end(),
                                         [](const Visited& v) { return !::IsWindow(v.Window); }),
                          Handled.end());
        }
        for (HWND window : VisibleDialogsOf(::GetCurrentProcessId())) Handle(window);
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
}

void BoxWatcher::Handle(HWND window)
{
    // A disabled window has a box of its own on top: that one comes first.
    if (!::IsWindowEnabled(window)) return;
    std::string title = WindowText(window);
    bool seenBefore = false;
    {
        std::lock_guard<std::mutex> guard(Lock);
        auto it = std::find_if(Handled.begin(), Handled.end(), [&](const Visited& v) { return v.Window == window; });
        if (it != Handled.end()) {
            if (std::chrono::steady_clock::now() - it->Pressed < std::chrono::milliseconds(300)) return;
            if (Answers.empty() || !Matches(Answers.front(), window, title)) return;
            seenBefore = true;
        }
    }
    Box box;
    box.Title = title;
    box.Text = MessageBoxText(window);

    Answer answer;
    bool expected = false;
    {
        std::lock_guard<std::mutex> guard(Lock);
        if (!Answers.empty() && Matches(Answers.front(), window, box.Title)) {
            answer = std::move(Answers.front());
            Answers.pop_front();
            expected = true;
        }
    }
    if (!expected && seenBefore) return;
    if (expected && answer.Action) answer.Action(window);
    int button = answer.Button;
    if (!expected) {
        button = ::GetDlgItem(window, IDCANCEL) ? IDCANCEL : ::GetDlgItem(window, IDNO) ? IDNO : IDOK;
    }
    box.Expected = expected;
    box.Pressed = button;
    {
        std::lock_guard<std::mutex> guard(Lock);
        Boxes.push_back(box);
        auto it = std::find_if(Handled.begin(), Handled.end(), [&](const Visited& v) { return v.Window == window; });
        if (it == Handled.end())
            Handled.push_back({window, std::chrono::steady_clock::now()});
        else
            it->Pressed = std::chrono::steady_clock::now();
    }
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}
