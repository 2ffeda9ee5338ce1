// Hooks on the events of one widget: the object sees every event before the widget
// and decides whether the widget still gets it. The hook is removed when the object
// dies.
#pragma once

#include <functional>

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace tinctor {

class TSubClass : public QObject {
public:
    explicit TSubClass(QWidget* control);
    ~TSubClass() override;
    TSubClass(const TSubClass&) = delete;
    TSubClass& operator=(const TSubClass&) = delete;

    QWidget* Control() const { return control_; }

protected:
    // Returns true when the event must not reach the control; passing it on is the default.
    virtual bool WndProc(QEvent* message);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<QWidget> control_;
};

// A hook whose work is a handler: it may clear CallDefault to keep the event from
// the control.
class TEventSubClass : public TSubClass {
public:
    using THandler = std::function<void(bool& callDefault, QEvent* message)>;

    TEventSubClass(QWidget* control, THandler handler);

protected:
    bool WndProc(QEvent* message) override;

private:
    THandler handler_;
};

}  // namespace tinctor
