#include "X11Helpers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <memory>

#include <X11/Xlib.h>

namespace tinctor::test {
namespace {

class TQtEnvironment : public testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[19] = "x11_platform_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] testing::Environment* const environment = testing::AddGlobalTestEnvironment(new TQtEnvironment);

int refusedCode = 0;
int RecordError(Display*, XErrorEvent* e) {
    refusedCode = e->error_code;
    return 0;
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void Pump(int ms) {
    WaitFor([] { return false; }, ms);
}

int RunTool(const QString& program, const QStringList& args) { return QProcess::execute(program, args); }

TOtherClient::TOtherClient() : display_(XOpenDisplay(nullptr)) {}

TOtherClient::~TOtherClient() {
    if (display_) XCloseDisplay(display_);
}

bool TOtherClient::GrabKey(unsigned long keysym, unsigned mask) {
    refusedCode = 0;
    auto previous = XSetErrorHandler(RecordError);
    XGrabKey(display_, XKeysymToKeycode(display_, keysym), mask, DefaultRootWindow(display_), True, GrabModeAsync,
             GrabModeAsync);
    XSync(display_, False);
    XSetErrorHandler(previous);
    return refusedCode == 0;
}

}  // namespace tinctor::test
