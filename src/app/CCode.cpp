#include "app/CCode.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>

#include "app/ColorListFile.h"
#include "platform/ErrorGuard.h"
#include "platform/QtText.h"
#include "platform/x11/QtDialogs.h"
#include "util/CodePage.h"

namespace tinctor {

namespace {

QColor QColorOf(TColor c) {
    const TRGB rgb = SplitColor(c);
    return QColor(rgb.R, rgb.G, rgb.B);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    label->adjustSize();
    label->move(left, top);
    return label;
}

}  // namespace

// --- the swatch ---------------------------------------------------------------------

TColorShape::TColorShape(QWidget* parent) : QWidget(parent) {}

void TColorShape::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    update();
}

void TColorShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColorOf(color_));
    // Corner ellipses a quarter of the shorter side, as a rounded-rectangle shape has them.
    const qreal radius = std::min(width(), height()) / 8.0;
    painter.drawRoundedRect(QRectF(0.5, 0.5, width() - 1, height() - 1), radius, radius);
}

// --- one line only ------------------------------------------------------------------

QValidator::State TFirstLineValidator::validate(QString& input, int& pos) const {
    const auto lineEnd = [](const QString& text, qsizetype from = 0) {
        for (qsizetype i = from; i < text.size(); ++i)
            if (text[i] == u'\r' || text[i] == u'\n') return i;
        return text.size();
    };
    const qsizetype end = lineEnd(input);
    if (end == input.size()) return Acceptable;
    // The field never holds a line break of its own, so the break came with the text
    // just inserted, which ends at the cursor: the rest of that text goes, what
    // followed the cursor stays.
    QString after = pos > end ? input.mid(pos) : QString();
    after.truncate(lineEnd(after));
    input.truncate(end);
    input += after;
    pos = static_cast<int>(end);
    return Acceptable;
}

// --- the dialog ---------------------------------------------------------------------

TColorCode::TColorCode(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("ColorCode"));
    setWindowTitle(QStringLiteral("カラーコード入力"));
    if (owner) setFont(owner->font());
    StayAboveOwner(this, owner);
    setFixedSize(295, 105);

    ColorPanel = new TColorShape(this);
    ColorPanel->setObjectName(QStringLiteral("ColorPanel"));
    ColorPanel->setGeometry(4, 4, 49, 49);

    auto* lineOnly = new TFirstLineValidator(this);

    ColorEdit = new QLineEdit(this);
    ColorEdit->setObjectName(QStringLiteral("ColorEdit"));
    ColorEdit->setValidator(lineOnly);
    ColorEdit->setGeometry(60, 28, 133, 21);
    MakeLabel(this, QStringLiteral("カラーコードか色定数を入力してください。(&C)"), ColorEdit, 60, 12);

    Comment = new QLineEdit(this);
    Comment->setObjectName(QStringLiteral("Comment"));
    Comment->setValidator(lineOnly);
    Comment->setGeometry(8, 76, 189, 21);
    MakeLabel(this, QStringLiteral("コメント(&O)"), Comment, 8, 60);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(211, 40, 75, 25);
    OKBtn->setDefault(true);
    OKBtn->setEnabled(false);
    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(211, 70, 75, 25);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ColorEdit, &QLineEdit::textChanged, this, [this] { Guarded([this] { ColorEditChange(); }); });

    // Centred on the screen the owner is on.
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - rect().center());
}

void TColorCode::PutCommentFirst() {
    setTabOrder(Comment, ColorEdit);
    setTabOrder(ColorEdit, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
    Comment->setFocus();
}

void TColorCode::SetCode(std::string_view code) {
    {
        const QSignalBlocker blocker(ColorEdit);
        code_ = Keep(ColorEdit, code);
    }
    // Run once even when the text is the one the field had.
    ColorEditChange();
}

std::string TColorCode::Code() const { return FieldBytes(ColorEdit, code_); }

void TColorCode::SetComment(std::string_view comment) { comment_ = Keep(Comment, comment); }

std::string TColorCode::CommentText() const { return FieldBytes(Comment, comment_); }

TColorCode::TOriginal TColorCode::Keep(QLineEdit* edit, std::string_view bytes) {
    const QString text = ToQString(bytes);
    edit->setText(text);
    // A text the field cut to its first line is no longer the caller's.
    return {std::string(bytes), edit->text(), edit->text() == text};
}

std::string TColorCode::FieldBytes(const QLineEdit* edit, const TOriginal& original) {
    if (original.Intact && edit->text() == original.Shown) return original.Bytes;
    return FromQString(edit->text());
}

void TColorCode::ColorEditChange() {
    OKBtn->setEnabled(false);
    const std::string code = Code();
    // "=" and "," would move part of the code into the comment of the stored entry.
    if (code.find_first_of("=,") != std::string::npos) return;
    if (CodePage::Current().CharCount(code) <= 2) return;
    const TColor c = ColorOfEntryCode(code);
    if (c == NoColor) return;
    ColorPanel->SetColor(c);
    OKBtn->setEnabled(true);
}

}  // namespace tinctor
