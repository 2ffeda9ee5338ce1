#include "platform/x11/QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "platform/QtText.h"

namespace tinctor {

namespace {

QMessageBox::Icon IconOf(TMsgKind kind) {
    switch (kind) {
        case TMsgKind::Warning: return QMessageBox::Warning;
        case TMsgKind::Error: return QMessageBox::Critical;
        case TMsgKind::Information: return QMessageBox::Information;
        case TMsgKind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

int RunBox(QMessageBox::Icon icon, std::string_view text, QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton defaultButton) {
    QWidget* owner = DialogOwner();
    TCentred<QMessageBox> box(icon, QString::fromLatin1(ApplicationTitle), ToQString(text), buttons, owner);
    box.setDefaultButton(defaultButton);
    StayAboveOwner(&box, owner);
    return box.exec();
}

// A window of the program's own that can own a dialog: shown, not a pop-up or tip.
bool CanOwn(const QWidget* widget) {
    if (!widget || !widget->isVisible() || !widget->isWindow()) return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

}  // namespace

QWidget* DialogOwner() {
    if (QWidget* modal = QApplication::activeModalWidget(); CanOwn(modal)) return modal;
    if (QWidget* active = QApplication::activeWindow(); CanOwn(active)) return active;
    // In the background: the main window (the one plain window of the program).
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (CanOwn(widget) && widget->windowType() == Qt::Window) return widget;
    return nullptr;
}

void StayAboveOwner(QWidget* dialog, const QWidget* owner) {
    if (owner && (owner->window()->windowFlags() & Qt::WindowStaysOnTopHint))
        dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

// X11 has one bell for every kind of message.
void TQtDialogs::Beep(TMsgKind) { QApplication::beep(); }

void TQtDialogs::ShowMessage(TMsgKind kind, std::string_view text) {
    RunBox(IconOf(kind), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool TQtDialogs::AskYesNo(std::string_view text, bool defaultYes) {
    return RunBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No,
                  defaultYes ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

bool TQtDialogs::InputQuery(std::string_view prompt, std::string& value) {
    QWidget* owner = DialogOwner();
    TCentred<QInputDialog> dialog(owner);
    dialog.setWindowTitle(QString::fromLatin1(ApplicationTitle));
    dialog.setLabelText(ToQString(prompt));
    dialog.setTextValue(ToQString(value));
    StayAboveOwner(&dialog, owner);
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (ok) value = FromQString(dialog.textValue());
    return ok;
}

void TQtDialogs::ShowErrorBox(std::string_view message) {
    QApplication::beep();
    RunBox(QMessageBox::Critical, message, QMessageBox::Ok, QMessageBox::Ok);
}

}  // namespace tinctor
