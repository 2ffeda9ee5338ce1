// The application object the desktop benchmarks run under on X11.
#pragma once

#include <QApplication>

namespace tinctor::bench {

// The application object on X11, or null without an X server. It is never freed:
// Qt's own statics are gone by the time a static object would be.
inline QApplication* App() {
    static QApplication* app = []() -> QApplication* {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) return nullptr;
        qputenv("QT_QPA_PLATFORM", "xcb");
        static int argc = 1;
        static char name[] = "desktop_bench";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return app;
}

}  // namespace tinctor::bench
