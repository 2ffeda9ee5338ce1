// One whole eyedropper move in the real window on an X server: the pointer's move
// event in, the pixel under it read, the colour made current (model, sliders, labels,
// code), and the swatch, labels and loupe repainted and flushed to the server. Each
// move is a real one: the pointer is moved on the server, which sends the move to the
// window holding the mouse. It goes across a pattern, so every move picks a new colour,
// as a drag across a picture does.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <chrono>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/Main.h"
#include "app/TinctorApplication.h"
#include "platform/Platform.h"
#include "settings/FolderMacros.h"
#include "settings/ProgramFolder.h"

namespace {

using namespace tinctor;

// Where the pattern lies on the screen, away from the window.
constexpr QRect kPatternArea{700, 200, 256, 256};
constexpr int kPointerStep = 7;  // pixels between two moves along the pattern
constexpr int kPathMoves = 25;
constexpr auto kMoveTimeout = std::chrono::seconds(5);

// The application object on X11 (never freed: Qt's statics go first), or null
// without an X server.
TTinctorApplication* App() {
    static TTinctorApplication* app = []() -> TTinctorApplication* {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) return nullptr;
        qputenv("QT_QPA_PLATFORM", "xcb");
        static int argc = 1;
        static char name[] = "app_x11_bench";
        static char* argv[] = {name, nullptr};
        return new TTinctorApplication(argc, argv);
    }();
    return app;
}

// Waits until the server has handled every request sent so far.
void SyncWithServer() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// This thread's processor time in seconds: the program's own share of a move, which
// the wall time adds the server's and the waits of a loaded machine to.
double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Runs every pending event, paints included, and waits for the server to show them.
void Settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    SyncWithServer();
}

// A window showing colours that differ from pixel to pixel.
class TPattern : public QWidget {
public:
    TPattern() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), image_(kPatternArea.size(), QImage::Format_RGB32) {
        for (int y = 0; y < image_.height(); ++y)
            for (int x = 0; x < image_.width(); ++x) image_.setPixel(x, y, qRgb(x, y, (x * 3 + y * 5) & 0xFF));
        setGeometry(kPatternArea);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, image_); }

private:
    QImage image_;
};

// Where the last pointer move that reached the window went.
class TMoveWatch : public QObject {
public:
    explicit TMoveWatch(QWidget& form) : form_(form) { form.installEventFilter(this); }
    ~TMoveWatch() override { form_.removeEventFilter(this); }
    QPoint Last;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) Last = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        return false;
    }

private:
    QWidget& form_;
};

// One move as the user makes it: the pointer goes to At, the server sends the move to
// the window holding the mouse, the window picks and repaints, and the server has shown
// it. False when the move never arrived.
bool Move(IPointer& pointer, TMoveWatch& watch, QPoint at) {
    pointer.SetPos(at);
    // Sleeps until the server's events come (spinning would take the processor from
    // the server on a busy machine and count as the program's time).
    QTimer giveUp;
    giveUp.setSingleShot(true);
    giveUp.start(kMoveTimeout);
    while (watch.Last != at && giveUp.isActive()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (watch.Last != at) return false;
    Settle();
    return true;
}

// The move timed (a function of its own, which profilers single out).
[[gnu::noinline]] bool MoveTo(IPointer& pointer, TMoveWatch& watch, QPoint at) { return Move(pointer, watch, at); }

// An untimed move.
[[gnu::noinline]] bool WarmUpMove(IPointer& pointer, TMoveWatch& watch, QPoint at) {
    return Move(pointer, watch, at);
}

void BM_EyedropperMove(benchmark::State& state) {
    if (!App()) return state.SkipWithError("no X display");
    char folder[] = "/tmp/tinctor-bench-XXXXXX";
    if (!mkdtemp(folder)) return state.SkipWithError("no program folder");
    SetProgramFolder(std::string(folder) + "/");
    TSpecialFolders::Reload();
    {
        TPattern pattern;
        pattern.show();
        TTinctorForm form;
        form.show();
        for (int i = 0; i < 20 && !(form.windowHandle() && form.windowHandle()->isExposed()); ++i) {
            Settle();
            QThread::msleep(50);
        }
        auto* spoit = form.findChild<QWidget*>(QStringLiteral("SpoitImage"));
        const QPointF inSpoit(4, 4);
        QMouseEvent press(QEvent::MouseButtonPress, inSpoit, spoit->mapToGlobal(inSpoit), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(spoit, &press);
        Settle();

        IPointer& pointer = Platform().Pointer();
        // Off the path, so that its first place is a move (a run before this one ended there).
        pointer.SetPos(kPatternArea.topLeft());
        Settle();
        TMoveWatch watch(form);
        int step = 0;
        const auto nextPlace = [&step] {
            // A path that comes back after kPathMoves moves, so that any number of whole
            // rounds costs the same per move.
            const int along = step++ % kPathMoves;
            return kPatternArea.topLeft() + QPoint(16 + along * kPointerStep, 16 + along * 3);
        };
        // The first moves draw what later ones reuse (glyphs, pictures); a drag is timed
        // once it runs.
        for (int i = 0; i < kPathMoves; ++i)
            if (!WarmUpMove(pointer, watch, nextPlace())) return state.SkipWithError("no pointer move arrived");
        double cpu = 0;
        for (auto _ : state) {
            const QPoint at = nextPlace();
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = ThreadCpuSeconds();
            if (!MoveTo(pointer, watch, at)) return state.SkipWithError("no pointer move arrived");
            cpu += ThreadCpuSeconds() - cpuStart;
            state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        state.counters["cpu_us"] = benchmark::Counter(cpu * 1e6, benchmark::Counter::kAvgIterations);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &release);
        Settle();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_EyedropperMove)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
