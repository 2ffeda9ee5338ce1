#include "scripthost/ScriptRun.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/Dialogs.h"
#include "scripthost/KSCClass.h"
#include "scripthost/Kestrel.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

// Raises a flag every 50 milliseconds on a thread of its own, so that a statement
// can tell whether the window's events are due without reading the clock.
class TTicker {
public:
    TTicker() : thread_([this] { Tick(); }) {}
    ~TTicker() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    TTicker(const TTicker&) = delete;
    TTicker& operator=(const TTicker&) = delete;

    // Whether a tick came since the last call.
    bool Due() noexcept {
        return due_.load(std::memory_order_relaxed) && due_.exchange(false, std::memory_order_relaxed);
    }

private:
    static constexpr std::chrono::milliseconds kInterval{50};

    void Tick() {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, kInterval, [this] { return stop_; }))
            due_.store(true, std::memory_order_relaxed);
    }

    std::atomic<bool> due_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

// Installs the sliders of a run for the Colors objects and puts the earlier ones back.
class TSlidersOfRun {
public:
    explicit TSlidersOfRun(IColorSliders& sliders) : earlier_(ColorSliders()) { SetColorSliders(&sliders); }
    ~TSlidersOfRun() { SetColorSliders(earlier_); }
    TSlidersOfRun(const TSlidersOfRun&) = delete;
    TSlidersOfRun& operator=(const TSlidersOfRun&) = delete;

private:
    IColorSliders* earlier_;
};

// Keeps the program alive while a script runs: now and then the pending window
// events are processed, so the window repaints and the user can ask to stop. User
// input is held back meanwhile (no second script, no slider moved under the script's
// feet), except Esc and closing the window, which offer to stop the script.
class TScriptWatch final : public QObject {
public:
    explicit TScriptWatch(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~TScriptWatch() override {
        qApp->removeEventFilter(this);
        if (busy_) QApplication::restoreOverrideCursor();
    }

    // Before every statement: a look at a flag, and the events when they are due.
    void Step(bool& abort) {
        if (ticker_.Due()) Poll(abort);
    }

    // Each step of the script's event loop.
    void Idle(bool& abort) {
        if (QCoreApplication::closingDown()) {
            abort = true;
            return;
        }
        Poll(abort);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!holding_) return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) stopAsked_ = true;
            return true;
        case QEvent::Close:
            if (watched != window_) return false;
            stopAsked_ = true;
            event->ignore();
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
        }
    }

private:
    void Poll(bool& abort) {
        if (!busy_) {
            QApplication::setOverrideCursor(Qt::BusyCursor);
            busy_ = true;
        }
        holding_ = true;
        QCoreApplication::processEvents();
        holding_ = false;
        if (stopAsked_) {
            stopAsked_ = false;
            abort = AskYesNo(StopScriptQuestion, true);
        }
    }

    QWidget* window_;
    TTicker ticker_;
    bool holding_ = false;
    bool stopAsked_ = false;
    bool busy_ = false;
};

}  // namespace

void KestrelError(TKestrel&, int, std::string_view msg) { MessageError(msg); }

void RunColorScript(const std::string& path, IColorSliders& sliders, QWidget* window) {
    // Declared in this order so that the engine dies first: its Colors object applies
    // the colour to the sliders of this run, also when an error ends the run.
    const TSlidersOfRun installed(sliders);
    TScriptWatch watch(window);
    TKestrel kestrel;
    kestrel.ImportObject("Colors", kestrel::ClassOf<TColorCfg>());
    kestrel.SetOnError(&KestrelError);
    kestrel.SetOnStep([&watch](TKestrel&, bool& abort) { watch.Step(abort); });
    kestrel.SetOnDoEvents([&watch](TKestrel&, bool& abort) { watch.Idle(abort); });
    // A menu item whose file has gone would otherwise do nothing without a word.
    if (!FileExists(path)) {
        MessageError(ScriptNotFoundMessage + path);
        return;
    }
    // A script that does not compile still runs: it does nothing, and its report has
    // reached the user already.
    kestrel.CompileFile(path);
    kestrel.Run({sliders.GetSliderValue(1), sliders.GetSliderValue(2), sliders.GetSliderValue(3)});
}

}  // namespace tinctor
