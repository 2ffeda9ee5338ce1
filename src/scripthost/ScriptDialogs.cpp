#include "scripthost/ScriptDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include <array>
#include <vector>

#include "platform/QtText.h"
#include "platform/x11/QtDialogs.h"
#include "scripthost/CheckListForm.h"
#include "platform/WindowHelpers.h"

namespace tinctor {

namespace {

constexpr std::string_view kApplicationTitle = "Tinctor";

// The buttons of each box kind (the flags' low nibble), in their order on the box.
struct TBoxButton {
    QMessageBox::StandardButton Button;
    int Result;
};
const std::array<std::vector<TBoxButton>, 6> kButtonSets = {{
    {{QMessageBox::Ok, 1}},
    {{QMessageBox::Ok, 1}, {QMessageBox::Cancel, 2}},
    {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}},
    {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}, {QMessageBox::Cancel, 2}},
    {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}},
    {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, 2}},
}};

QMessageBox::Icon IconOf(int flags) {
    switch (flags & 0xF0) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

constexpr int kDefaultButtonShift = 8;

// The dialogs' sizes and font, as the forms were designed.
constexpr QSize kPromptClient{492, 73};
constexpr QSize kTextAreaClient{492, 273};
constexpr QSize kPromptLabel{381, 29};
constexpr int kPromptEditWidth = 385;
constexpr QSize kMemo{395, 243};
constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kFontPixels = 12;
constexpr const char* kFontFamily = "IPAPGothic";

// Activates the window that was active when it was made, when it goes.
class TKeepActiveWindow {
public:
    TKeepActiveWindow() : window_(QApplication::activeWindow()) {}
    ~TKeepActiveWindow() {
        if (window_) window_->activateWindow();
    }

private:
    QPointer<QWidget> window_;
};

// Mask with every letter as a set of both cases ("*.txt" -> "*.[tT][xX][tT]"), since
// the file system model compares names with case; "*.*" is every name, as it is for
// the program's other masks.
QString CaseFreeMask(const QString& mask) {
    if (mask == QLatin1String("*.*")) return QStringLiteral("*");
    QString out;
    for (const QChar c : mask) {
        if (c.toLower() == c.toUpper()) out += c;
        else out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
    }
    return out;
}

// The filter of Masks (joined by ";") and the filter of every file.
QStringList NameFilters(const QString& masks) {
    QStringList patterns;
    for (const QString& mask : masks.split(QLatin1Char(';'), Qt::SkipEmptyParts)) patterns << CaseFreeMask(mask.trimmed());
    return {masks + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'), QStringLiteral("* (*)")};
}

QPushButton* AddButton(QDialog& dialog, const char* objectName, const QString& text, int x, int y) {
    auto* button = new QPushButton(text, &dialog);
    button->setObjectName(objectName);
    button->setGeometry(x, y, kButtonWidth, kButtonHeight);
    return button;
}

}  // namespace

int TQtScriptHost::MessageBox(std::string_view text, std::string_view caption, int flags) {
    const std::size_t kind = static_cast<std::size_t>(flags & 0xF);
    const std::vector<TBoxButton>& buttons = kButtonSets[kind < kButtonSets.size() ? kind : 0];
    TKeepActiveWindow keep;
    TCentred<QMessageBox> box(IconOf(flags), ToQString(caption), ToQString(text), QMessageBox::NoButton, mainForm_);
    for (const TBoxButton& b : buttons) box.addButton(b.Button);
    const std::size_t defaultIndex = static_cast<std::size_t>((flags >> kDefaultButtonShift) & 0xF);
    box.setDefaultButton(buttons[std::min(defaultIndex, buttons.size() - 1)].Button);
    // Closing the box without a button is Cancel where it has one, else the escape answer.
    const int chosen = box.exec();
    for (const TBoxButton& b : buttons)
        if (b.Button == chosen) return b.Result;
    return kestrel::DismissedBoxResult(flags);
}

bool TQtScriptHost::InputBox(std::string_view message, bool multiLine, std::string& text) {
    TKeepActiveWindow keep;
    QWidget* owner = Owner();
    QDialog dialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setObjectName(multiLine ? "TfrmTextArea" : "TfrmPrompt");
    dialog.setWindowTitle(ToQString(kApplicationTitle));
    QFont font(kFontFamily);
    font.setPixelSize(kFontPixels);
    dialog.setFont(font);
    const QSize client = multiLine ? kTextAreaClient : kPromptClient;
    dialog.setFixedSize(client);

    auto* label = new QLabel(ToQString(message), &dialog);
    label->setObjectName("lblText");
    label->setWordWrap(true);
    const int buttonsX = client.width() - kMargin - kButtonWidth;
    QLineEdit* edit = nullptr;
    QPlainTextEdit* memo = nullptr;
    if (multiLine) {
        label->setGeometry(kMargin, kMargin, kMemo.width(), kMargin * 2);
        memo = new QPlainTextEdit(&dialog);
        memo->setObjectName("mmText");
        memo->setGeometry(kMargin, client.height() - kMargin - kMemo.height() + kMargin, kMemo.width(),
                          kMemo.height() - kMargin);
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        if (!text.empty()) memo->setPlainText(ToQString(text));
        memo->setFocus();
    } else {
        label->setGeometry(kMargin, kMargin / 2, kPromptLabel.width(), kPromptLabel.height());
        edit = new QLineEdit(ToQString(text), &dialog);
        edit->setObjectName("edtPrompt");
        edit->setGeometry(kMargin, kPromptLabel.height() + kMargin, kPromptEditWidth, kButtonHeight - 4);
        edit->setFocus();
    }
    QPushButton* ok = AddButton(dialog, "btnOK", "OK", buttonsX, kMargin / 2);
    QPushButton* cancel = AddButton(dialog, "btnCancel", "Cancel", buttonsX, kMargin / 2 + kButtonHeight + 4);
    ok->setDefault(!multiLine);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    if (multiLine) {
        QPushButton* clear = AddButton(dialog, "btnClear", "Clear", buttonsX, kMargin / 2 + 2 * (kButtonHeight + 4));
        QObject::connect(clear, &QPushButton::clicked, memo, &QPlainTextEdit::clear);
    }
    CentreOnOwner(dialog, owner);
    StayAboveOwner(&dialog, owner);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (edit) {
        text = FromQString(edit->text());
    } else {
        // Memo lines are joined by CR LF.
        text = FromQString(memo->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")));
    }
    return true;
}

bool TQtScriptHost::FileDialog(const kestrel::TJFileDialog& request, std::vector<std::string>& chosen) {
    using TKind = kestrel::TJFileDialog::TKind;
    TKeepActiveWindow keep;
    QWidget* owner = Owner();
    QFileDialog dialog(owner, ToQString(request.Title), QFile::decodeName(request.Folder.c_str()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    switch (request.Kind) {
    case TKind::Open: dialog.setFileMode(QFileDialog::ExistingFile); break;
    case TKind::OpenMany: dialog.setFileMode(QFileDialog::ExistingFiles); break;
    case TKind::Save:
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QFile::decodeName(request.DefaultExt.c_str()));
        break;
    case TKind::Folder:
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    if (!request.Filter.empty()) dialog.setNameFilters(NameFilters(QFile::decodeName(request.Filter.c_str())));
    if (!request.FileName.empty()) dialog.selectFile(QFile::decodeName(request.FileName.c_str()));
    StayAboveOwner(&dialog, owner);
    if (dialog.exec() != QDialog::Accepted) return false;
    chosen.clear();
    for (const QString& name : dialog.selectedFiles()) chosen.push_back(QFile::encodeName(name).toStdString());
    return !chosen.empty();
}

bool TQtScriptHost::CheckListDialog(kestrel::TJCheckList& list) {
    TKeepActiveWindow keep;
    QWidget* owner = Owner();
    TfrmCheckList form(owner);
    StayAboveOwner(&form, owner);
    form.Fill(list);
    const bool accepted = form.exec() == QDialog::Accepted;
    if (accepted) list.Checked = form.Marks();
    list.Index = form.SelectedLine();
    return accepted;
}

QWidget* TQtScriptHost::Owner() const {
    if (QWidget* owner = DialogOwner()) return owner;
    return mainForm_;
}

bool TQtScriptHost::ProcessEvents() { return !QCoreApplication::closingDown(); }

std::string TQtScriptHost::ApplicationTitle() const { return std::string(kApplicationTitle); }

std::uint32_t TQtScriptHost::MainFormHandle() const {
    if (!mainForm_ || QGuiApplication::platformName() != QLatin1String("xcb")) return 0;
    return static_cast<std::uint32_t>(mainForm_->window()->winId());
}

TQtScriptHost::TQtScriptHost(QWidget* mainForm) : mainForm_(mainForm) {
    // Only an X11 session has keys to ask for (the offscreen platform has none).
    if (QGuiApplication::platformName() == "xcb") desktop_ = TXDesktop::Open();
}

TQtScriptHost::~TQtScriptHost() = default;

bool TQtScriptHost::IsKeyDown(unsigned vk) { return desktop_ ? desktop_->IsKeyDown(vk) : TJHost::IsKeyDown(vk); }

kestrel::TJPointerState TQtScriptHost::PointerState() {
    if (!desktop_) return TJHost::PointerState();
    const TXPointer p = desktop_->Pointer();
    return {p.X, p.Y, p.Left, p.Middle, p.Right};
}

bool TQtScriptHost::ClipboardText(std::string& text) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const bool has = data && data->hasText();
    text = has ? FromQString(data->text()) : std::string();
    return has;
}

void TQtScriptHost::SetClipboardText(std::string_view text) { QGuiApplication::clipboard()->setText(ToQString(text)); }

}  // namespace tinctor
