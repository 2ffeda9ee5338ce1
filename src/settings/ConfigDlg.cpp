#include "settings/ConfigDlg.h"

#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

#include "platform/ErrorGuard.h"
#include "platform/QtText.h"
#include "platform/x11/QtDialogs.h"
#include "settings/ButtonPages.h"
#include "settings/ExIniFiles.h"
#include "settings/HotKeyEdit.h"
#include "settings/Refer.h"

namespace tinctor {

namespace {

constexpr int kCheckBoxHeight = 17;
constexpr int kHotKeyHeight = 19;
constexpr int kReferHeight = 20;

// A check box of the design's width, wider when the font needs more for its caption,
// up to Room pixels (the page's right edge unless a control sits to its right).
QCheckBox* MakeCheckBox(QWidget* page, const char* name, const QString& caption, int x, int y, int width,
                        const QString& hint, int room = 0) {
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(QString::fromLatin1(name));
    if (room <= 0) room = page->width() - x;
    box->setGeometry(x, y, std::max(width, std::min(box->sizeHint().width(), room)), kCheckBoxHeight);
    box->setToolTip(hint);
    return box;
}

TCustomReferEdit* MakeRefer(QWidget* page, const char* name, const QRect& geometry, TReferKind kind,
                            const QString& hint) {
    auto* edit = new TReferEdit(page);
    edit->setObjectName(QString::fromLatin1(name));
    edit->ReferButton()->SetKind(kind);
    edit->setGeometry(geometry);
    edit->ReferButton()->FollowEdit();  // a hidden edit reports its move only when shown
    edit->setToolTip(hint);
    return edit;
}

void MakeLabel(QWidget* page, const QString& caption, int x, int y, QWidget* focusControl) {
    auto* label = new QLabel(caption, page);
    label->move(x, y);
    label->adjustSize();
    label->setBuddy(focusControl);
}

}  // namespace

TConfigDialog::TConfigDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("ConfigDialog"));
    // A window does not take its owner's font by itself.
    if (owner) setFont(owner->font());
    StayAboveOwner(this, owner);
    setWindowTitle(QStringLiteral("環境設定"));
    setFixedSize(ClientWidth, ClientHeight);
    CreateControls();
    FormCreate();
}

void TConfigDialog::CreateControls() {
    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(8, 8, 297, 184 + LoupeRowHeight);

    PageControl = new TButtonPages(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setGeometry(13, 12, 284, 177 + LoupeRowHeight);

    QWidget* normal = PageControl->AddPage(QStringLiteral("NormalSetting"), QStringLiteral("通常設定(&N)"));
    TopMost = MakeCheckBox(normal, "TopMost", QStringLiteral("常に手前表示(&T)"), 0, 0, 221,
                           QStringLiteral("メインフォームと色リストを常に手前表示します。\n(デフォルト:しない)"));
    UseColorCode = MakeCheckBox(normal, "UseColorCode", QStringLiteral("可能なら色名に変換(&C)"), 0, 26, 269,
                                QStringLiteral("可能ならばカラーコードを、色定数に変換します。\n(デフォルト:しない)"));
    UseNetscapeColor =
        MakeCheckBox(normal, "UseNetscapeColor", QStringLiteral("Netscapeパレットを使う(&M)"), 12, 46, 153,
                     QStringLiteral("HTMLカラーで、Netscapeパレットを使います。\n(デフォルト:使わない)"));
    LowerCase = MakeCheckBox(
        normal, "LowerCase", QStringLiteral("カラーコードは小文字に変換(HTMLのみ&L)"), 0, 74, 249,
        QStringLiteral("HTMLカラーで、カラーコードはすべて小文字で挿入するようにします。\n(デフォルト:大文字)"));
    DoCompact = MakeCheckBox(normal, "DoCompact", QStringLiteral("マウスカーソルが遠くにあるとき、コンパクト化(&P)"),
                             0, 98, 269,
                             QStringLiteral("マウスカーソルが離れているときは、\nコンパクト表示するようにします。\n"
                                            "(デフォルト:しない)"));
    UseHotkey = MakeCheckBox(normal, "UseHotkey", QStringLiteral("ホットキーでマウス移動(&H)"), 0, 126, 153,
                             QStringLiteral("指定したホットキーが押されたら、\nマウスカーソルをフォーム上に移動する"
                                            "機能を使用します。\n(デフォルト:使わない)"),
                             153);  // the hot key entry follows at 156
    HotKeyName = new THotKeyEdit(normal);
    HotKeyName->setObjectName(QStringLiteral("HotKeyName"));
    HotKeyName->setGeometry(156, 126, 117, kHotKeyHeight);
    // Our own addition, one row below the page's other controls.
    UseMagnifier = MakeCheckBox(normal, "UseMagnifier", QStringLiteral("色を吸い取るとき拡大鏡を表示(&G)"), 0,
                                126 + 26, 269,
                                QStringLiteral("色を吸い取るカーソルを使っている間、\nマウスカーソルの周りを"
                                               "拡大して表示します。\n(デフォルト:する)"));

    QWidget* catching = PageControl->AddPage(QStringLiteral("ColorCatch"), QStringLiteral("色値抽出(&A)"));
    UseCO = MakeCheckBox(catching, "UseCO", QStringLiteral("クリップボードの監視(&O)"), 0, 0, 253,
                         QStringLiteral("クリップボードを常時監視するようにします。\n(デフォルト:しない)"));
    SpoitTEditor = MakeCheckBox(catching, "SpoitTEditor", QStringLiteral("エディタ色値抽出機能を使う(&E)"), 0, 24,
                                253,
                                QStringLiteral("テキストエディタで作業しているときに、\n"
                                               "選択した文字列から色値を自動的に抽出します。\n"
                                               "対応しているエディタは、メモ帳、TeraPad、\n"
                                               "K2Editor、MKEditorです。\n"
                                               "(デフォルト:使わない)"));
    CTableBitmap = MakeRefer(catching, "CTableBitmap", QRect(35, 74, 210, kReferHeight), TReferKind::rkOpen,
                             QStringLiteral("\u3000カラーテーブルに表示するビットマップを設定できます。\n"
                                            "指定がなかった場合は、グラデーションになります。"));
    CTableBitmap->ReferButton()->Filter = "ビットマップ(*.bmp)|*.bmp|すべて(*)|*";
    MakeLabel(catching, QStringLiteral("カラーテーブルのビットマップ(&B)"), 4, 55, CTableBitmap);

    QWidget* lists = PageControl->AddPage(QStringLiteral("ColorLists"), QStringLiteral("色リスト(&R)"));
    ColorDirEdit = MakeRefer(lists, "ColorDirEdit", QRect(31, 42, 210, kReferHeight),
                             TReferKind::rkSelectDirectory,
                             QStringLiteral("色ファイルを保存するフォルダを決めます。\n"
                                            "色ファイルは、ほかのカラーツールの色ファイルと同じ形式です。\n"
                                            "そのツールがインストールされている場合は、\n"
                                            "そのツールの'Colors'フォルダを指定することもできます。\n"
                                            "(デフォルト:EXEファイルのあるフォルダの'Colors'フォルダ)"));
    MakeLabel(lists, QStringLiteral("色リストのフォルダ(&D)"), 0, 23, ColorDirEdit);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(79, 203 + LoupeRowHeight, 74, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(159, 203 + LoupeRowHeight, 75, 25);

    connect(UseColorCode, &QCheckBox::toggled, this, [this] { UseColorCodeClick(); });
    // A failed save shows the error box and still closes with OK: the window then
    // re-applies whatever the file holds.
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        Guarded([this] { OKBtnClick(); });
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TConfigDialog::FormCreate() {
    TTinctorSettings settings;
    settings.Read(TMemIniFileEx());
    ColorDirEdit->SetFileName(settings.ColorListFolder());
    TopMost->setChecked(settings.TopMost);
    DoCompact->setChecked(settings.Compact);
    CTableBitmap->SetFileName(settings.ColorTableMap);
    UseColorCode->setChecked(settings.ColorCode);
    UseNetscapeColor->setChecked(settings.ExtendColor);
    LowerCase->setChecked(settings.LowerCase);
    UseCO->setChecked(settings.ClipboardObserver);
    UseHotkey->setChecked(settings.HotkeyMode);
    HotKeyName->SetHotKeyText(settings.Hotkey);
    SpoitTEditor->setChecked(settings.SpoitTEditor);
    UseMagnifier->setChecked(settings.Magnifier);
    UseColorCodeClick();
}

void TConfigDialog::FormShow() {
    PageControl->SetCurrentIndex(0);
    UseColorCodeClick();
    PlaceOnScreen();
}

void TConfigDialog::UseColorCodeClick() {
    // A disabled box keeps its check mark, and OK saves it as it stands.
    UseNetscapeColor->setEnabled(UseColorCode->isChecked());
}

TTinctorSettings TConfigDialog::ControlSettings() const {
    TTinctorSettings settings;
    settings.ColorDir = ColorDirEdit->FileName();
    settings.TopMost = TopMost->isChecked();
    settings.Compact = DoCompact->isChecked();
    settings.ColorTableMap = CTableBitmap->FileName();
    settings.ColorCode = UseColorCode->isChecked();
    settings.ExtendColor = UseNetscapeColor->isChecked();
    settings.LowerCase = LowerCase->isChecked();
    settings.ClipboardObserver = UseCO->isChecked();
    settings.HotkeyMode = UseHotkey->isChecked();
    settings.Hotkey = HotKeyName->HotKeyText();
    settings.SpoitTEditor = SpoitTEditor->isChecked();
    settings.Magnifier = UseMagnifier->isChecked();
    return settings;
}

void TConfigDialog::OKBtnClick() {
    TMemIniFileEx ini;
    ControlSettings().Write(ini);
    ini.UpdateFile();
}

void TConfigDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

QPoint TConfigDialog::KeepInWorkArea(const QRect& frame, const QRect& workArea) {
    const auto limit = [](int value, int low, int high) {
        if (value < low) value = low;
        if (value > high) value = high;  // last, so a frame larger than the area ends here
        return value;
    };
    const int top = limit(frame.y(), workArea.y(), workArea.y() + workArea.height() - frame.height());
    const int left = limit(frame.x(), workArea.x(), workArea.x() + workArea.width() - frame.width());
    return {left, top};
}

void TConfigDialog::PlaceOnScreen() {
    // Centred on the owner, frames counted as the owner's frame is; then inside the
    // work area of the screen under that centre.
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect ownerFrame = owner ? owner->frameGeometry() : QRect();
    const QMargins frameMargins =
        owner ? QMargins(owner->geometry().left() - ownerFrame.left(), owner->geometry().top() - ownerFrame.top(),
                         ownerFrame.right() - owner->geometry().right(),
                         ownerFrame.bottom() - owner->geometry().bottom())
              : QMargins();
    QRect frame(QPoint(), size().grownBy(frameMargins));
    QScreen* screen = nullptr;
    if (owner) {
        frame.moveCenter(ownerFrame.center());
        screen = QGuiApplication::screenAt(ownerFrame.center());
    }
    if (!screen) screen = this->screen();
    if (!owner) frame.moveCenter(screen->availableGeometry().center());
    move(KeepInWorkArea(frame, screen->availableGeometry()));
}

}  // namespace tinctor
