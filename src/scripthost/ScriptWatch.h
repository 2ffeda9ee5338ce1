// What keeps the program alive while a script of the menu runs on the one thread:
// now and then the pending window events are processed, so the window repaints and
// the user can ask to stop the script. User input is held back meanwhile (no second
// script, no slider moved under the script's feet), except Esc and closing the
// window, which offer to stop the script.
#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class QWidget;

namespace tinctor {

// The confirmation before a running script is stopped.
inline constexpr const char* StopScriptQuestion = "スクリプトの実行を中止しますか？";

// Raises a flag every 50 milliseconds on a thread of its own, so that a statement
// can tell whether the window's events are due without reading the clock.
class TTicker {
public:
    TTicker();
    ~TTicker();
    TTicker(const TTicker&) = delete;
    TTicker& operator=(const TTicker&) = delete;

    // Whether a tick came since the last call.
    bool Due() noexcept {
        return due_.load(std::memory_order_relaxed) && due_.exchange(false, std::memory_order_relaxed);
    }

private:
    void Tick();

    std::atomic<bool> due_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

class TScriptWatch final : public QObject {
public:
    // Watches for the lifetime of the object; Window is the one whose closing asks to stop.
    explicit TScriptWatch(QWidget* window);
    ~TScriptWatch() override;

    // Before every statement: a look at a flag, and the events when they are due.
    // Abort becomes true when the user asked to stop and confirmed it.
    void Step(bool& abort) {
        if (ticker_.Due()) Poll(abort);
    }
    // Each step of the script's event loop; it ends when the application does.
    void Idle(bool& abort);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Poll(bool& abort);

    QWidget* window_;
    TTicker ticker_;
    bool holding_ = false;
    bool stopAsked_ = false;
    bool busy_ = false;
};

}  // namespace tinctor
