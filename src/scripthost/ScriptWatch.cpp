#include "scripthost/ScriptWatch.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

#include <chrono>

#include "platform/Dialogs.h"

namespace tinctor {

namespace {

constexpr std::chrono::milliseconds kTickInterval{50};

}  // namespace

TTicker::TTicker() : thread_([this] { Tick(); }) {}

TTicker::~TTicker() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void TTicker::Tick() {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, kTickInterval, [this] { return stop_; })) due_.store(true, std::memory_order_relaxed);
}

TScriptWatch::TScriptWatch(QWidget* window) : window_(window) { qApp->installEventFilter(this); }

TScriptWatch::~TScriptWatch() {
    qApp->removeEventFilter(this);
    if (busy_) QApplication::restoreOverrideCursor();
}

void TScriptWatch::Idle(bool& abort) {
    if (QCoreApplication::closingDown()) {
        abort = true;
        return;
    }
    Poll(abort);
}

void TScriptWatch::Poll(bool& abort) {
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

bool TScriptWatch::eventFilter(QObject* watched, QEvent* event) {
    // Only the events of Poll's own processing; dialogs a script opens get their input.
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

}  // namespace tinctor
