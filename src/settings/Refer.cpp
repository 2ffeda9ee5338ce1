#include "settings/Refer.h"

#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFocusEvent>
#include <QMenu>
#include <QMimeData>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QUrl>

#include "platform/QtText.h"
#include "util/stdFiles.h"

namespace tinctor {

std::string DroppedFileName(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return FromQString(url.toLocalFile());
    return {};
}

// ---------------------------------------------------------------------------
// The button

TCustomRefer::TCustomRefer(TCustomReferEdit* edit) : QToolButton(edit->parentWidget()), edit_(edit) {
    setObjectName(QStringLiteral("SubRefer"));
    setAcceptDrops(true);
    setIconSize(QSize(16, 16));
    UpdateFace();
    connect(this, &QToolButton::clicked, this, [this] { Refer(); });
}

void TCustomRefer::SetFileName(const std::string& fileName) { StoreFileName(fileName, true); }

void TCustomRefer::StoreFileName(const std::string& fileName, bool show) {
    const bool changed = fileName != fileName_;
    fileName_ = fileName;
    if (AutoInitDir) InitDir = ExtractFilePath(fileName_);
    if (show) edit_->ShowFileName();
    if (changed) emit FileNameChanged();
}

void TCustomRefer::SetKind(TReferKind kind) {
    kind_ = kind;
    UpdateFace();
}

void TCustomRefer::SetAutoHint(bool autoHint) {
    autoHint_ = autoHint;
    UpdateFace();
}

void TCustomRefer::SetAlignButton(TReferAlignButton align) {
    align_ = align;
    FollowEdit();
}

QString TCustomRefer::HintOf(TReferKind kind) {
    switch (kind) {
        case TReferKind::rkDot: return QStringLiteral("参照");
        case TReferKind::rkDropDown: return QStringLiteral("メニューを開きます");
        case TReferKind::rkOpen:
        case TReferKind::rkSave: return QStringLiteral("ファイルを参照します");
        case TReferKind::rkDirectory: return QStringLiteral("フォルダを参照します");
        case TReferKind::rkSelectDirectory: return QStringLiteral("作成先を選択します");
    }
    return {};
}

void TCustomRefer::UpdateFace() {
    // The file kinds show an open folder, the folder kinds a closed one, as the
    // style draws them; the other two show their character in the control's font.
    switch (kind_) {
        case TReferKind::rkDot:
            setIcon(QIcon());
            setText(QStringLiteral("…"));
            break;
        case TReferKind::rkDropDown:
            setIcon(QIcon());
            setText(QStringLiteral(">"));
            break;
        case TReferKind::rkOpen:
        case TReferKind::rkSave:
            setText({});
            setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon, nullptr, this));
            break;
        case TReferKind::rkDirectory:
        case TReferKind::rkSelectDirectory:
            setText({});
            setIcon(style()->standardIcon(QStyle::SP_DirClosedIcon, nullptr, this));
            break;
    }
    if (autoHint_) setToolTip(HintOf(kind_));
}

void TCustomRefer::FollowEdit() {
    QWidget* parent = edit_->parentWidget();
    if (parentWidget() != parent) setParent(parent);
    if (!parent) return hide();  // never a window of its own
    const QRect r = edit_->geometry();
    const int x = align_ == TReferAlignButton::raRight ? r.x() + r.width() + 1 : r.x() - ButtonWidth;
    setGeometry(x, r.y(), ButtonWidth, r.height());
    setVisible(!edit_->isHidden());
    setEnabled(edit_->isEnabled());
    setLayoutDirection(edit_->layoutDirection());
}

QString TCustomRefer::QtFilterOf(const std::string& filter) {
    // "Bitmaps(*.bmp)|*.bmp|All|*" -> "Bitmaps(*.bmp);;All (*)": Qt reads the patterns
    // from the last parentheses of each entry, separated by spaces.
    const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        const QString tail = QLatin1Char('(') + patterns + QLatin1Char(')');
        entries << (parts[i].endsWith(tail) ? parts[i] : parts[i] + QLatin1Char(' ') + tail);
    }
    return entries.join(QStringLiteral(";;"));
}

bool TCustomRefer::Execute(std::string& chosen) {
    QFileDialog dialog(window());
    dialog.setDirectory(ToQString(InitDir));
    switch (kind_) {
        case TReferKind::rkOpen:
        case TReferKind::rkSave:
            dialog.setAcceptMode(kind_ == TReferKind::rkOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
            dialog.setFileMode(kind_ == TReferKind::rkOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
            if (!Filter.empty()) dialog.setNameFilter(QtFilterOf(Filter));
            dialog.setDefaultSuffix(ToQString(DefaultExt));
            if (!fileName_.empty()) dialog.selectFile(ToQString(fileName_));
            break;
        case TReferKind::rkDirectory:
            dialog.setWindowTitle(QStringLiteral("フォルダの参照"));
            [[fallthrough]];
        case TReferKind::rkSelectDirectory:
            // The chooser starts in InitDir with nothing picked, so that its name box
            // never holds a stale name while the user moves about; its own "new
            // folder" button makes a missing folder.
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
            break;
        default:
            return false;
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = FromQString(dialog.selectedFiles().first());
    return true;
}

void TCustomRefer::Refer() {
    if (OnClick) OnClick(this);
    switch (kind_) {
        case TReferKind::rkDot:
            if (OnRefer) OnRefer(this);
            return;
        case TReferKind::rkDropDown:
            if (DropDownMenu) DropDownMenu->popup(QCursor::pos());
            return;
        default: {
            std::string chosen;
            if (Execute(chosen)) SetFileName(chosen);
            return;
        }
    }
}

void TCustomRefer::dragEnterEvent(QDragEnterEvent* event) {
    if (FileDragable && !DroppedFileName(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        QToolButton::dragEnterEvent(event);
}

void TCustomRefer::dropEvent(QDropEvent* event) {
    const std::string name = FileDragable ? DroppedFileName(event->mimeData()) : std::string();
    if (name.empty()) return QToolButton::dropEvent(event);
    SetFileName(name);
    event->acceptProposedAction();
}

// ---------------------------------------------------------------------------
// The edit

TCustomReferEdit::TCustomReferEdit(QWidget* parent) : QLineEdit(parent), button_(new TReferEditRefer(this)) {
    // Paths are typed, not composed.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!showing_) button_->StoreFileName(FromQString(text), false);
    });
    button_->FollowEdit();
}

void TCustomReferEdit::SetDeactiveEllipsis(bool on) {
    deactiveEllipsis_ = on;
    ShowFileName();
}

QString TCustomReferEdit::MinimizeName(const QString& path, const QFontMetrics& metrics, int maxWidth) {
    const auto fits = [&](const QString& text) { return metrics.horizontalAdvance(text) <= maxWidth; };
    if (fits(path)) return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    // The folders between the root (or the start) and the name, cut from the front.
    const bool rooted = path.startsWith(QLatin1Char('/'));
    QStringList folders = path.left(slash < 0 ? 0 : slash).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    while (!folders.isEmpty()) {
        folders.removeFirst();
        QStringList shown = folders;
        shown.prepend(QStringLiteral("..."));
        const QString text = (rooted ? QStringLiteral("/") : QString()) + shown.join(QLatin1Char('/')) +
                             QLatin1Char('/') + name;
        if (fits(text)) return text;
    }
    if (fits(name)) return name;
    return metrics.elidedText(name, Qt::ElideRight, maxWidth);
}

void TCustomReferEdit::ShowFileName() {
    const QString full = ToQString(FileName());
    QString shown = full;
    if (deactiveEllipsis_ && !hasFocus()) {
        QStyleOptionFrame option;
        initStyleOption(&option);
        const QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
        const QMargins margins = textMargins();
        // The text area less the edit's own two pixels on either side.
        const int width = area.width() - margins.left() - margins.right() - 4;
        shown = MinimizeName(full, fontMetrics(), width);
    }
    if (shown == text()) return;
    showing_ = true;
    setText(shown);
    setCursorPosition(0);
    showing_ = false;
}

bool TCustomReferEdit::event(QEvent* event) {
    const bool result = QLineEdit::event(event);
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::EnabledChange:
        case QEvent::LayoutDirectionChange:
        case QEvent::ParentChange:
            button_->FollowEdit();
            break;
        default:
            break;
    }
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::FontChange:
        case QEvent::StyleChange:
            if (!hasFocus()) ShowFileName();
            break;
        default:
            break;
    }
    return result;
}

void TCustomReferEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    ShowFileName();
}

void TCustomReferEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu or another popup leaves the whole path in place.
    if (event->reason() != Qt::PopupFocusReason) ShowFileName();
}

void TCustomReferEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    if (!hasFocus()) ShowFileName();
}

void TCustomReferEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (button_->FileDragable && !DroppedFileName(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        QLineEdit::dragEnterEvent(event);
}

void TCustomReferEdit::dragMoveEvent(QDragMoveEvent* event) {
    if (button_->FileDragable && !DroppedFileName(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(event);
}

void TCustomReferEdit::dropEvent(QDropEvent* event) {
    const std::string name = button_->FileDragable ? DroppedFileName(event->mimeData()) : std::string();
    if (name.empty()) return QLineEdit::dropEvent(event);
    SetFileName(name);
    event->acceptProposedAction();
}

}  // namespace tinctor
