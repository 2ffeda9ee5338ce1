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
    QMessageBox box(icon, QString::fromLatin1(ApplicationTitle), ToQString(text), buttons,
                    QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    return box.exec();
}

}  // namespace

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
    bool ok = false;
    const QString answer = QInputDialog::getText(QApplication::activeWindow(), QString::fromLatin1(ApplicationTitle),
                                                 ToQString(prompt), QLineEdit::Normal, ToQString(value), &ok);
    if (ok) value = FromQString(answer);
    return ok;
}

void TQtDialogs::ShowErrorBox(std::string_view message) {
    QApplication::beep();
    RunBox(QMessageBox::Critical, message, QMessageBox::Ok, QMessageBox::Ok);
}

}  // namespace tinctor
