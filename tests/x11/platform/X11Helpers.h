// What the tests on a real X server share: the application object, waiting while
// events are processed, running the X tools, and a second X client.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include <QStringList>

typedef struct _XDisplay Display;

namespace tinctor::test {

// Processes events until Done holds or Ms milliseconds have passed; returns Done().
bool WaitFor(const std::function<bool()>& done, int ms = 2000);
// Processes events for Ms milliseconds.
void Pump(int ms);
// Runs a program to its end; returns its exit code.
int RunTool(const QString& program, const QStringList& args);

// Another client of the same X server, closed with the object.
class TOtherClient {
public:
    TOtherClient();
    ~TOtherClient();
    TOtherClient(const TOtherClient&) = delete;
    TOtherClient& operator=(const TOtherClient&) = delete;
    Display* Dpy() const { return display_; }
    // Grabs Keysym with the X modifier Mask on the root window; false when refused.
    bool GrabKey(unsigned long keysym, unsigned mask);

private:
    Display* display_;
};

}  // namespace tinctor::test
