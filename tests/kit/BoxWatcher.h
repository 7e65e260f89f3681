#pragma once
#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/kit/WindowSearch.h"

// Answers the message boxes and dialogs that code under test raises in this
// process, from a watcher thread, and records every box it saw.
//
// Scripted answers are taken in order: each matches a window by its exact
// title and a button of its id (0: none, the action answers), may run an
// action first (set a dialog's fields, swap a floppy), then presses the
// button by posting WM_COMMAND with its id. A window that matches
// no pending answer is recorded as unexpected and dismissed with IDCANCEL
// (IDNO, or IDOK, when the box has no Cancel). A dialog that stays open after
// a press (its entries were refused) takes the next answer queued for its title.
class BoxWatcher {
public:
    struct Box {
        std::string Title;
        std::string Text;  // a message box's text (static control 65535); empty for dialogs
        bool Expected = true;
        int Pressed = 0;
    };

    struct Answer {
        std::string Title;
        int Button = IDOK;
        std::function<void(HWND)> Action;  // runs on the watcher thread before the press
    };

    BoxWatcher();
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // Queues an answer; answers are used in the order they were queued.
    void Expect(const std::string& title, int button, std::function<void(HWND)> action = nullptr);

    // Everything seen so far, in order.
    std::vector<Box> Seen() const;
    // Titles and texts of the message boxes seen, as "title|text" lines.
    std::vector<std::string> Transcript() const;
    std::size_t PendingAnswers() const;
    void Clear();

private:
    void Run();
    void Handle(HWND window);

    struct Visited {
        HWND Window;
        std::chrono::steady_clock::time_point Pressed;
    };

    mutable std::mutex Lock;
    std::deque<Answer> Answers;
    std::vector<Box> Boxes;
    std::vector<Visited> Handled;
    bool Stop = false;
    std::thread Worker;
};

