// One whole eyedropper move in the real window on an X server: the pointer's move
// event in, the pixel under it read, the colour made current (model, sliders, labels,
// code), and the swatch, labels and loupe repainted and flushed to the server. The
// pointer is put over a pattern between moves, untimed, so every move picks a new
// colour, as a drag across a picture does.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
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

// The move timed: its event to the window, the repaint it causes, flushed.
[[gnu::noinline]] void MoveTo(QWidget& form, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, form.mapFromGlobal(QPointF(at)), QPointF(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &move);
    Settle();
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
        int step = 0;
        double cpu = 0;
        for (auto _ : state) {
            const QPoint at = kPatternArea.topLeft() + QPoint(16 + step * kPointerStep % 200, 16 + step * 3 % 200);
            ++step;
            pointer.SetPos(at);
            Settle();
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = ThreadCpuSeconds();
            MoveTo(form, at);
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
