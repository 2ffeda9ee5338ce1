// The colour table: its picture or gradient from the settings, and picking from it.
// The tests hold under a scale factor too (ctest runs them again at 2): the gradient
// is drawn at device pixels and a point picks the first device pixel it stands for.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <sys/stat.h>
#include <unistd.h>

#include "FormFixture.h"
#include "app/CircleShape.h"
#include "app/ColorTable.h"

namespace tinctor::testing {
namespace {

using ::testing::ElementsAre;

class ColorTableTest : public FormTest {
protected:
    TColorTable* Table() const { return Control<TColorTable>("ColorTable"); }

    TColor PictureAt(int x, int y) const { return ArgbToColorOf(Table()->Picture().pixel(x, y)); }
    static TColor ArgbToColorOf(QRgb argb) { return RGBToColor(qRed(argb), qGreen(argb), qBlue(argb)); }
    // Device pixels per point of the table's screen.
    int Ratio() const { return qRound(Table()->devicePixelRatioF()); }
    // A shown image's pixel at the point Pos, the first device pixel the point stands for.
    QRgb ShownAt(const QImage& shown, QPoint pos) const { return shown.pixel(pos * Ratio()); }

    // The gradient's pixels at points: at a scale of N its pixel (N x, N y) of a table N
    // times as large has the same fractions of the width and height as (x, y) at 1.
    void ExpectGradient() const {
        const QImage& picture = Table()->Picture();
        ASSERT_EQ(picture.size(), QSize(107, 115) * Ratio());
        const struct {
            QPoint Pos;
            TColor Colour;
        } points[] = {{{0, 0}, RGBToColor(0, 0, 255)},
                      {{106, 0}, RGBToColor(0, 126, 2)},
                      {{53, 57}, RGBToColor(126, 94, 127)},
                      {{106, 114}, RGBToColor(252, 251, 250)}};
        for (const auto& p : points)
            EXPECT_EQ(ArgbToColorOf(ShownAt(picture, p.Pos)), p.Colour) << p.Pos.x() << "," << p.Pos.y();
    }

    // A picture of two halves, left red and right blue, saved in Format.
    void SaveTwoColourPicture(const std::string& name, const char* format, QSize size) const {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(0, 0, 255));
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width() / 2; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
        ASSERT_TRUE(image.save(QString::fromStdString(home + name), format));
    }

    void UseMap(const std::string& map) { WriteIni("[Window]\r\nColorTableMap=" + map + "\r\n"); }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const TFakeDialogs::Shown& shown : dialogs.Log)
            if (shown.What == TFakeDialogs::Shown::Message)
                texts.push_back((shown.MsgKind == TMsgKind::Error ? "error: " : "other: ") + shown.Text);
        return texts;
    }
    int Beeps(TMsgKind kind) const {
        int n = 0;
        for (const TFakeDialogs::Shown& shown : dialogs.Log) n += shown.What == TFakeDialogs::Shown::Beep && shown.MsgKind == kind;
        return n;
    }

    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held) const {
        QMouseEvent event(type, QPointF(pos), QPointF(Table()->mapToGlobal(pos)), button, held, Qt::NoModifier);
        QApplication::sendEvent(Table(), &event);
    }
    void Press(QPoint pos, Qt::MouseButton button = Qt::LeftButton) const {
        Mouse(QEvent::MouseButtonPress, pos, button, button);
    }
    void MoveTo(QPoint pos, Qt::MouseButtons held = Qt::LeftButton) const {
        Mouse(QEvent::MouseMove, pos, Qt::NoButton, held);
    }
    void Release(QPoint pos, Qt::MouseButton button = Qt::LeftButton) const {
        Mouse(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
};

const std::string kCannotShow = std::string("error: ") + CannotShowPictureMessage;

TEST_F(ColorTableTest, NoPictureGivesTheGradientAndTheEyedropper) {
    Open();
    ExpectGradient();
    EXPECT_TRUE(dialogs.Log.empty());
    const QCursor cursor = Table()->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(7, 24) * Ratio());  // in the picture's device pixels
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32) * Ratio());
    EXPECT_EQ(Table()->size(), QSize(107, 115));

    UseMap("missing.png");
    form->ReloadSettings();
    ExpectGradient();
    EXPECT_TRUE(dialogs.Log.empty());
}

TEST_F(ColorTableTest, PicturesOfTheFormatsQtReadsAreShown) {
    SaveTwoColourPicture("table.png", "PNG", QSize(107, 115));
    UseMap("table.png");  // relative to the program folder
    Open();
    EXPECT_EQ(Table()->Picture().size(), QSize(107, 115));
    EXPECT_EQ(PictureAt(0, 0), RGBToColor(255, 0, 0));
    EXPECT_EQ(PictureAt(106, 114), RGBToColor(0, 0, 255));

    // A format other than the extension says is read by its contents; a BMP by its own name.
    SaveTwoColourPicture("other.bmp", "BMP", QSize(20, 10));
    ASSERT_EQ(::rename((home + "other.bmp").c_str(), (home + "other.jpg").c_str()), 0);
    UseMap(home + "other.jpg");  // absolute
    form->ReloadSettings();
    EXPECT_EQ(Table()->Picture().size(), QSize(20, 10));
    EXPECT_EQ(PictureAt(19, 9), RGBToColor(0, 0, 255));
    EXPECT_TRUE(dialogs.Log.empty());

    // Clearing the setting gives the gradient a bitmap of the table's own size again.
    UseMap("");
    form->ReloadSettings();
    ExpectGradient();
}

TEST_F(ColorTableTest, AFileThatIsNoPictureGetsOneErrorBoxAndTheGradient) {
    ASSERT_TRUE(SaveTextFile(home + "notes.bmp", "this is not a bitmap\r\n"));
    UseMap("notes.bmp");
    Open();
    EXPECT_THAT(Messages(), ElementsAre(kCannotShow));
    EXPECT_EQ(Beeps(TMsgKind::Error), 1);
    EXPECT_TRUE(dialogs.ErrorBoxes().empty());
    ExpectGradient();
    EXPECT_EQ(Text("CCode"), "#000000");  // the steps after the table still ran

    // A damaged picture and an empty file are refused the same way; a good picture
    // shown before gives way to the gradient.
    SaveTwoColourPicture("good.png", "PNG", QSize(8, 8));
    UseMap("good.png");
    form->ReloadSettings();
    ASSERT_EQ(Table()->Picture().size(), QSize(8, 8));
    std::string png;
    ASSERT_TRUE(LoadTextFile(home + "good.png", png));
    ASSERT_TRUE(SaveTextFile(home + "damaged.png", png.substr(0, png.size() / 2)));
    ASSERT_TRUE(SaveTextFile(home + "empty.gif", ""));
    dialogs.Log.clear();
    UseMap("damaged.png");
    form->ReloadSettings();
    ExpectGradient();
    UseMap("empty.gif");
    form->ReloadSettings();
    EXPECT_THAT(Messages(), ElementsAre(kCannotShow, kCannotShow));
    ExpectGradient();
}

TEST_F(ColorTableTest, AnUnreadableFileIsReportedAndTheGradientShown) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    SaveTwoColourPicture("locked.png", "PNG", QSize(8, 8));
    ASSERT_EQ(::chmod((home + "locked.png").c_str(), 0), 0);
    UseMap("locked.png");
    Open();
    EXPECT_THAT(dialogs.ErrorBoxes(), ElementsAre("ファイル \"" + home + "locked.png\" を読み込めません。"));
    EXPECT_TRUE(Messages().empty());
    ExpectGradient();
}

TEST_F(ColorTableTest, DraggingPicksThePixelUnderThePointer) {
    Open();
    const TColor black = RGBToColor(0, 0, 0);
    Press(QPoint(53, 57));
    EXPECT_EQ(form->CurrentColor(), black);  // a press alone picks nothing
    MoveTo(QPoint(53, 57));
    EXPECT_EQ(form->CurrentColor(), RGBToColor(126, 94, 127));
    EXPECT_EQ(Text("CCode"), "#7E5E7F");
    EXPECT_EQ(form->GetSliderValue(1), 126);
    MoveTo(QPoint(106, 0));
    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 126, 2));

    // Outside the table there is no colour: the last one stays, also at the edges.
    for (QPoint outside : {QPoint(107, 0), QPoint(0, 115), QPoint(-1, 10), QPoint(300, -40)}) {
        MoveTo(outside);
        EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 126, 2)) << outside.x() << "," << outside.y();
    }
    // Releasing outside ends the pick; later moves over the table pick nothing.
    Release(QPoint(200, 200));
    MoveTo(QPoint(0, 0));
    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 126, 2));

    // Picking adds nothing to the history.
    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(Control<TCircleShape>(("History" + std::to_string(n)).c_str())->Color(), RGBToColor(255, 255, 255));
}

TEST_F(ColorTableTest, OnlyTheLeftButtonPicksAndAnyReleaseStops) {
    Open();
    const TColor black = RGBToColor(0, 0, 0);
    Press(QPoint(10, 10), Qt::RightButton);
    MoveTo(QPoint(0, 0), Qt::RightButton);
    Press(QPoint(10, 10), Qt::MiddleButton);
    MoveTo(QPoint(0, 0), Qt::MiddleButton);
    EXPECT_EQ(form->CurrentColor(), black);

    Press(QPoint(0, 0));
    MoveTo(QPoint(0, 114));
    EXPECT_EQ(form->CurrentColor(), RGBToColor(252, 0, 2));
    Release(QPoint(5, 5), Qt::RightButton);  // the left button still held
    MoveTo(QPoint(0, 0));
    EXPECT_EQ(form->CurrentColor(), RGBToColor(252, 0, 2));
}

TEST_F(ColorTableTest, AStretchedPictureIsPickedAsItIsShown) {
    // Six colours in three columns and two rows, stretched over the whole table.
    QImage small(3, 2, QImage::Format_RGB32);
    const QRgb colours[6] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                             qRgb(10, 20, 30), qRgb(200, 100, 0), qRgb(255, 255, 255)};
    for (int i = 0; i < 6; ++i) small.setPixel(i % 3, i / 3, colours[i]);
    ASSERT_TRUE(small.save(QString::fromStdString(home + "six.png"), "PNG"));
    UseMap("six.png");
    Open();
    const QImage shown = Table()->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(107, 115) * Ratio());
    const QPoint places[6] = {{0, 0}, {53, 20}, {106, 0}, {0, 114}, {53, 100}, {106, 114}};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(ShownAt(shown, places[i]), colours[i]) << i;

    Press(QPoint(0, 0));
    int mismatches = 0;
    for (int y = 0; y < 115; ++y)
        for (int x = 0; x < 107; ++x) {
            MoveTo(QPoint(x, y));
            mismatches += form->CurrentColor() != ArgbToColorOf(ShownAt(shown, QPoint(x, y)));
        }
    Release(QPoint(0, 0));
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(form->CurrentColor(), RGBToColor(255, 255, 255));  // the last move, bottom right
}

}  // namespace
}  // namespace tinctor::testing
