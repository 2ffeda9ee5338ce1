// The colour table: a picture the user picks colours from by dragging over it, either
// a picture file of the settings or the program's own four-corner gradient.
#pragma once

#include <QImage>
#include <QWidget>

#include <optional>
#include <stdexcept>
#include <string>

#include "colour/stdColors.h"

namespace tinctor {

// The corners of the table's gradient.
inline constexpr TColor GradientTopLeft = RGBToColor(0, 0, 255);        // blue
inline constexpr TColor GradientBottomRight = RGBToColor(255, 255, 255);  // white
inline constexpr TColor GradientBottomLeft = RGBToColor(255, 0, 0);       // red
inline constexpr TColor GradientTopRight = RGBToColor(0, 128, 0);         // green

// The refusal of a picture file that is not a picture the table can show.
inline constexpr const char* CannotShowPictureMessage = "指定されたファイルは、カラーテーブルには表示できません。";

// A picture file that exists but cannot be read at all.
class EColorTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TColorTable : public QWidget {
    Q_OBJECT
public:
    explicit TColorTable(QWidget* parent = nullptr);

    // The picture from the file Map names, or the gradient when Map is empty or names no
    // file. A file that is no picture (or a damaged one) gets the error box and the
    // gradient; one that cannot be read gets the gradient and raises EColorTableError.
    void LoadColorTable(const std::string& map);
    // DrawGradient over the client rectangle, into a fresh bitmap of the table's size
    // unless the bitmap already has that size.
    void ShowGradient();

    // The bitmap, always 32-bit RGB, in its own size; shown stretched to the table.
    const QImage& Picture() const { return picture_; }
    // The colour shown at Pos (table coordinates); none outside the table.
    std::optional<TColor> PixelAt(QPoint pos) const;

signals:
    void MouseDown(Qt::MouseButton button, QPoint pos);
    void MouseMove(QPoint pos);
    void MouseUp(Qt::MouseButton button, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class TLoadResult { Loaded, NotAPicture, Unreadable };
    TLoadResult LoadPicture(const std::string& fileName);
    void SetPicture(QImage picture);
    void Stretch();

    // The table's size in the screen's device pixels.
    QSize DeviceSize() const;
    QImage picture_;
    // The picture stretched to the table (the same image when the sizes agree): what is
    // painted is what is picked.
    QImage shown_;
};

}  // namespace tinctor
