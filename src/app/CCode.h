// TColorCode: the code-entry dialog of the colour list, a colour code (or colour name)
// with its comment and a swatch of the colour the code gives.
#pragma once

#include <QDialog>
#include <QValidator>

#include <string>
#include <string_view>

#include "colour/stdColors.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tinctor {

// A rounded rectangle filled with one colour: the dialog's swatch.
class TColorShape : public QWidget {
    Q_OBJECT
public:
    explicit TColorShape(QWidget* parent);
    TColor Color() const { return color_; }
    void SetColor(TColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor color_ = RGBToColor(255, 255, 255);
};

// Keeps a line edit to one line: of text pasted, dropped or set with line breaks in
// it, only the first line stays, and the text after the cursor is kept.
class TFirstLineValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

class TColorCode : public QDialog {
    Q_OBJECT
public:
    explicit TColorCode(QWidget* owner);

    // The fields as bytes in the process code page. A field the user has not changed
    // gives back exactly the bytes it was set with, even when they are not valid text
    // of the code page.
    void SetCode(std::string_view code);
    std::string Code() const;
    void SetComment(std::string_view comment);
    std::string CommentText() const;

    // Makes the comment the first field of the tab order and gives it the focus, so
    // that typing starts in the comment.
    void PutCommentFirst();

    // The colour the swatch shows.
    TColor PanelColor() const { return ColorPanel->Color(); }

    // The code field changed: OK is enabled only for a code that gives a colour, and
    // the swatch then shows it.
    void ColorEditChange();

    TColorShape* ColorPanel = nullptr;
    QLineEdit* ColorEdit = nullptr;
    QLineEdit* Comment = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    // The bytes a field was set with, and the text it then showed.
    struct TOriginal {
        std::string Bytes;
        QString Shown;
        bool Intact = false;
    };
    static TOriginal Keep(QLineEdit* edit, std::string_view bytes);
    static std::string FieldBytes(const QLineEdit* edit, const TOriginal& original);

    TOriginal code_;
    TOriginal comment_;
};

}  // namespace tinctor
