// The application object: start-up before the main window, Qt's Japanese texts, and
// the last safety net for errors (an exception never leaves the event loop).
#pragma once

#include <QApplication>
#include <QTranslator>

namespace tinctor {

class TTinctorApplication : public QApplication {
    Q_OBJECT
public:
    TTinctorApplication(int& argc, char** argv);

    // Shows whatever an event handler let escape in the standard error box.
    bool notify(QObject* receiver, QEvent* event) override;

    // Start-up, the main window and the message loop; the window is destroyed only
    // after the loop has ended. Returns the exit code.
    int Run();

private:
    QTranslator qtTranslator_;
};

}  // namespace tinctor
