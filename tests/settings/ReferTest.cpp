// The path chooser: its button, its path, drops, the shortened path and the dialogs.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

#include "WidgetTestSupport.h"
#include "platform/QtText.h"
#include "settings/Refer.h"

namespace tinctor::testing {
namespace {

class ReferTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        window.resize(320, 120);
        edit = new TReferEdit(&window);
        edit->setGeometry(35, 74, 210, 20);
        window.show();
        // Focus changes reach only the active window.
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    TCustomRefer* Button() const { return edit->ReferButton(); }

    // Answers the next file dialog once it is shown. A message box that the dialog
    // raises instead is a failure and is closed, so that nothing waits for ever.
    void AnswerNextDialog(std::function<void(QFileDialog*)> answer) {
        auto* timer = new QTimer(&window);
        timer->setInterval(10);
        auto answered = std::make_shared<bool>(false);
        QObject::connect(timer, &QTimer::timeout, timer, [answer, answered] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                ADD_FAILURE() << "message box: " << box->text().toStdString();
                box->done(0);
                return;
            }
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (*answered || !dialog || !dialog->isVisible()) return;
            *answered = true;
            // From the event loop, so that this timer keeps watching while it runs.
            QMetaObject::invokeMethod(dialog, [dialog, answer] { answer(dialog); }, Qt::QueuedConnection);
        });
        timer->start();
    }

    static QMimeData* Files(const QStringList& urls) {
        auto* data = new QMimeData;
        QList<QUrl> list;
        for (const QString& url : urls) list << QUrl(url);
        data->setUrls(list);
        return data;
    }
    // A drag entering Target and the drop onto it; true when both were accepted.
    static bool Drop(QWidget* target, const QMimeData* data) {
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }

    QWidget window;
    TCustomReferEdit* edit = nullptr;
};

TEST_F(ReferTest, TheButtonSitsBesideTheEditAndFollowsIt) {
    EXPECT_EQ(Button()->objectName(), QStringLiteral("SubRefer"));
    EXPECT_EQ(Button()->parentWidget(), &window);
    EXPECT_EQ(Button()->geometry(), QRect(246, 74, 23, 20));

    edit->setGeometry(10, 5, 100, 24);
    EXPECT_EQ(Button()->geometry(), QRect(111, 5, 23, 24));
    Button()->SetAlignButton(TReferAlignButton::raLeft);
    EXPECT_EQ(Button()->geometry(), QRect(-13, 5, 23, 24));
    edit->move(40, 8);
    EXPECT_EQ(Button()->geometry(), QRect(17, 8, 23, 24));

    edit->setEnabled(false);
    EXPECT_FALSE(Button()->isEnabled());
    edit->setEnabled(true);
    EXPECT_TRUE(Button()->isEnabled());
    edit->hide();
    EXPECT_FALSE(Button()->isVisible());
    edit->show();
    EXPECT_TRUE(Button()->isVisible());
    edit->setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(Button()->layoutDirection(), Qt::RightToLeft);
}

TEST_F(ReferTest, KindsGiveTheirFacesAndHints) {
    struct Row {
        TReferKind Kind;
        const char* Hint;
        const char* Text;
    };
    const Row rows[] = {
        {TReferKind::rkDot, "参照", "…"},
        {TReferKind::rkDropDown, "メニューを開きます", ">"},
        {TReferKind::rkOpen, "ファイルを参照します", ""},
        {TReferKind::rkSave, "ファイルを参照します", ""},
        {TReferKind::rkDirectory, "フォルダを参照します", ""},
        {TReferKind::rkSelectDirectory, "作成先を選択します", ""},
    };
    EXPECT_EQ(Button()->Kind(), TReferKind::rkOpen);
    for (const Row& row : rows) {
        Button()->SetKind(row.Kind);
        EXPECT_EQ(Button()->toolTip(), QString::fromUtf8(row.Hint));
        EXPECT_EQ(Button()->text(), QString::fromUtf8(row.Text));
        EXPECT_EQ(Button()->icon().isNull(), *row.Text != 0);
    }
    Button()->SetAutoHint(false);
    Button()->setToolTip(QStringLiteral("mine"));
    Button()->SetKind(TReferKind::rkOpen);
    EXPECT_EQ(Button()->toolTip(), QStringLiteral("mine"));
}

TEST_F(ReferTest, TheFileNameAndItsFolder) {
    std::vector<std::string> seen;
    QObject::connect(Button(), &TCustomRefer::FileNameChanged, [&] { seen.push_back(edit->FileName()); });
    edit->SetFileName("/srv/lists/Colors");
    EXPECT_EQ(Button()->FileName(), "/srv/lists/Colors");
    EXPECT_EQ(Button()->InitDir, "/srv/lists/");
    edit->SetFileName("/srv/lists/Colors");
    EXPECT_EQ(seen.size(), 1u);

    // Typing is the path at every change.
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "/tmp/x");
    EXPECT_EQ(edit->FileName(), "/tmp/x");
    EXPECT_EQ(Button()->InitDir, "/tmp/");
    EXPECT_EQ(seen.back(), "/tmp/x");

    Button()->AutoInitDir = false;
    edit->SetFileName("/opt/a/b");
    EXPECT_EQ(Button()->InitDir, "/tmp/");
    EXPECT_FALSE(edit->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(ReferTest, ADroppedFileBecomesThePath) {
    std::unique_ptr<QMimeData> files(Files({QStringLiteral("https://example.com/a.bmp"),
                                            QStringLiteral("file:///tmp/first%20one.bmp"),
                                            QStringLiteral("file:///tmp/second.bmp")}));
    EXPECT_EQ(DroppedFileName(files.get()), "/tmp/first one.bmp");
    EXPECT_TRUE(Drop(edit, files.get()));
    EXPECT_EQ(edit->FileName(), "/tmp/first one.bmp");

    std::unique_ptr<QMimeData> other(Files({QStringLiteral("file:///srv/other.bmp")}));
    EXPECT_TRUE(Drop(Button(), other.get()));
    EXPECT_EQ(edit->FileName(), "/srv/other.bmp");

    std::unique_ptr<QMimeData> remote(Files({QStringLiteral("https://example.com/a.bmp")}));
    EXPECT_EQ(DroppedFileName(remote.get()), "");
    EXPECT_FALSE(Drop(Button(), remote.get()));
    QMimeData text;
    text.setText(QStringLiteral("/not/a/drop"));
    EXPECT_FALSE(Drop(Button(), &text));
    EXPECT_EQ(edit->FileName(), "/srv/other.bmp");

    Button()->FileDragable = false;
    EXPECT_FALSE(Drop(Button(), files.get()));
    EXPECT_EQ(edit->FileName(), "/srv/other.bmp");
}

TEST_F(ReferTest, WithoutTheFocusThePathIsShortened) {
    QWidget other(&window);
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    other.setFocus();
    const std::string path = "/home/someone/Pictures/colour tables/2024/very long picture name.bmp";
    edit->SetFileName(path);
    const QString shown = edit->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/.../"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/very long picture name.bmp"))) << shown.toStdString();
    EXPECT_LT(edit->fontMetrics().horizontalAdvance(shown), edit->width());
    EXPECT_EQ(edit->FileName(), path);

    edit->setFocus();
    EXPECT_EQ(FromQString(edit->text()), path);
    other.setFocus();
    EXPECT_EQ(edit->text(), shown);

    edit->SetDeactiveEllipsis(false);
    EXPECT_EQ(FromQString(edit->text()), path);
}

TEST(ReferMinimizeName, LeadingFoldersGiveWayFirstThenTheName) {
    Application();
    const QFontMetrics metrics(QApplication::font());
    const auto width = [&](const char* text) { return metrics.horizontalAdvance(QString::fromUtf8(text)); };
    const auto minimize = [&](const char* path, int max) {
        return TCustomReferEdit::MinimizeName(QString::fromUtf8(path), metrics, max).toStdString();
    };
    EXPECT_EQ(minimize("/aaaa/bb/ccc/name.bmp", width("/aaaa/bb/ccc/name.bmp")), "/aaaa/bb/ccc/name.bmp");
    EXPECT_EQ(minimize("/aaaa/bb/ccc/name.bmp", width("/.../bb/ccc/name.bmp")), "/.../bb/ccc/name.bmp");
    EXPECT_EQ(minimize("/aaaa/bb/ccc/name.bmp", width("/.../ccc/name.bmp")), "/.../ccc/name.bmp");
    EXPECT_EQ(minimize("/aaaa/bb/ccc/name.bmp", width("/.../name.bmp")), "/.../name.bmp");
    EXPECT_EQ(minimize("/aaaa/bb/ccc/name.bmp", width("name.bmp")), "name.bmp");
    EXPECT_EQ(minimize("lists/old/name.clr", width(".../name.clr")), ".../name.clr");
    const std::string cut = minimize("/aaaa/bb/ccc/name.bmp", width("name"));
    EXPECT_NE(cut, "name.bmp");
    EXPECT_LE(metrics.horizontalAdvance(QString::fromStdString(cut)), width("name"));
}

TEST(ReferFilter, TypesBecomeQtNameFilters) {
    Application();
    EXPECT_EQ(TCustomRefer::QtFilterOf("ビットマップ(*.bmp)|*.bmp|すべて(*)|*"),
              QStringLiteral("ビットマップ(*.bmp);;すべて(*)"));
    EXPECT_EQ(TCustomRefer::QtFilterOf("Pictures|*.png;*.bmp|Text (*.txt)|*.txt"),
              QStringLiteral("Pictures (*.png *.bmp);;Text (*.txt)"));
    EXPECT_EQ(TCustomRefer::QtFilterOf("odd|*.a|dangling"), QStringLiteral("odd (*.a)"));
}

TEST_F(ReferTest, TheFolderChooserStartsInTheFolderOfThePathAndMayBeCancelled) {
    ASSERT_TRUE(ForceDirectories(program + "Colors"));
    ASSERT_TRUE(ForceDirectories(root.Path() + "chosen"));
    Button()->SetKind(TReferKind::rkSelectDirectory);
    edit->SetFileName(program + "Colors");
    std::vector<std::string> order;
    Button()->OnClick = [&](TCustomRefer*) { order.push_back("click"); };

    QString startedIn;
    AnswerNextDialog([&](QFileDialog* dialog) {
        order.push_back("dialog");
        startedIn = dialog->directory().absolutePath();
        EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
        dialog->reject();
    });
    Button()->click();
    EXPECT_EQ(order, (std::vector<std::string>{"click", "dialog"}));
    EXPECT_EQ(FromQString(startedIn) + "/", program);
    EXPECT_EQ(edit->FileName(), program + "Colors");

    AnswerNextDialog([&](QFileDialog* dialog) {
        // The folder typed into the dialog's name box.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(ToQString(root.Path() + "chosen"));
        static_cast<QDialog*>(dialog)->accept();  // as the dialog's own button does
    });
    Button()->click();
    EXPECT_EQ(edit->FileName(), root.Path() + "chosen");
    EXPECT_EQ(Button()->InitDir, root.Path());
}

TEST_F(ReferTest, TheOpenDialogUsesTheFilterAndTakesTheChosenFile) {
    WriteFile(home + "Docs/table.bmp", "BM");
    Button()->Filter = "ビットマップ(*.bmp)|*.bmp|すべて(*)|*";
    edit->SetFileName(home + "Docs/old.bmp");
    AnswerNextDialog([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog->nameFilters(), (QStringList{QStringLiteral("ビットマップ(*.bmp)"), QStringLiteral("すべて(*)")}));
        EXPECT_EQ(FromQString(dialog->directory().absolutePath()) + "/", home + "Docs/");
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("table.bmp"));
        static_cast<QDialog*>(dialog)->accept();  // as the dialog's own button does
    });
    Button()->click();
    EXPECT_EQ(edit->FileName(), home + "Docs/table.bmp");
}

TEST_F(ReferTest, DotAndDropDownButtonsCallTheirOwners) {
    int refers = 0;
    Button()->SetKind(TReferKind::rkDot);
    Button()->OnRefer = [&](TCustomRefer* sender) {
        EXPECT_EQ(sender, Button());
        ++refers;
    };
    Button()->click();
    EXPECT_EQ(refers, 1);
    EXPECT_EQ(edit->FileName(), "");

    Button()->SetKind(TReferKind::rkDropDown);
    Button()->click();  // no menu: nothing happens
    EXPECT_EQ(refers, 1);
}

}  // namespace
}  // namespace tinctor::testing
