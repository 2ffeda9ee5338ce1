// The path chooser: a one-line edit with a browse button beside it.
//
// The edit (TCustomReferEdit) shows the chosen path; the button (TCustomRefer) holds
// it and opens the file or folder dialog of its kind. The button lives on the edit's
// parent, one pixel right of the edit (or directly left of it), with the edit's top
// and height, and follows the edit's place, size, visibility, enabled state and
// reading direction. A file dropped on either of them becomes the path.
#pragma once

#include <QLineEdit>
#include <QToolButton>

#include <functional>
#include <string>

class QMenu;
class QMimeData;

namespace tinctor {

enum class TReferKind { rkDot, rkDropDown, rkOpen, rkSave, rkDirectory, rkSelectDirectory };
enum class TReferAlignButton { raLeft, raRight };

class TCustomReferEdit;

class TCustomRefer : public QToolButton {
    Q_OBJECT
public:
    static constexpr int ButtonWidth = 23;

    explicit TCustomRefer(TCustomReferEdit* edit);

    TCustomReferEdit* Edit() const { return edit_; }

    const std::string& FileName() const { return fileName_; }
    // Sets the path, shows it in the edit and, with AutoInitDir, moves InitDir to its folder.
    void SetFileName(const std::string& fileName);

    TReferKind Kind() const { return kind_; }
    // The kind decides the face, the hint (with AutoHint) and what a click opens.
    void SetKind(TReferKind kind);
    bool AutoHint() const { return autoHint_; }
    void SetAutoHint(bool autoHint);
    TReferAlignButton AlignButton() const { return align_; }
    void SetAlignButton(TReferAlignButton align);

    // The folder the dialogs start in.
    std::string InitDir;
    // The file dialogs' types as "description|pattern|description|pattern...".
    std::string Filter;
    // The extension the file dialogs add to a name typed without one ("bmp").
    std::string DefaultExt;
    bool AutoInitDir = true;
    bool FileDragable = true;
    // Shown at the mouse pointer by a click of an rkDropDown button.
    QMenu* DropDownMenu = nullptr;
    // OnClick runs first on every click; OnRefer is the click of an rkDot button.
    std::function<void(TCustomRefer*)> OnClick;
    std::function<void(TCustomRefer*)> OnRefer;

    // The hint that AutoHint gives a kind.
    static QString HintOf(TReferKind kind);
    // The file dialogs' name filter for a Filter text.
    static QString QtFilterOf(const std::string& filter);

    // What a click does: OnClick, then the chooser of the kind. A confirmed choice
    // becomes FileName; a cancelled one changes nothing.
    void Refer();

    // Keeps the button beside the edit (called on every change of the edit).
    void FollowEdit();

signals:
    void FileNameChanged();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class TCustomReferEdit;

    // Runs the dialog of a file or folder kind with FileName and InitDir preset;
    // true with Chosen set when the user confirmed a choice.
    bool Execute(std::string& chosen);
    // Stores the path; the edit shows it unless the user is typing it.
    void StoreFileName(const std::string& fileName, bool show);
    void UpdateFace();

    TCustomReferEdit* edit_;
    std::string fileName_;
    TReferKind kind_ = TReferKind::rkOpen;
    TReferAlignButton align_ = TReferAlignButton::raRight;
    bool autoHint_ = true;
};

class TCustomReferEdit : public QLineEdit {
    Q_OBJECT
public:
    // Parent is where the button goes too; the button is made with the edit.
    explicit TCustomReferEdit(QWidget* parent);

    TCustomRefer* ReferButton() const { return button_; }
    const std::string& FileName() const { return button_->FileName(); }
    void SetFileName(const std::string& fileName) { button_->SetFileName(fileName); }

    // Without the focus the edit shows the path shortened to its width.
    bool DeactiveEllipsis() const { return deactiveEllipsis_; }
    void SetDeactiveEllipsis(bool on);

    // Path shortened to MaxWidth pixels in Metrics: leading folders give way to "..."
    // one by one, then the folder part goes, then the name is cut at its end.
    static QString MinimizeName(const QString& path, const QFontMetrics& metrics, int maxWidth);

    // Shows FileName, whole or shortened as the focus and DeactiveEllipsis ask.
    void ShowFileName();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TCustomRefer* button_;
    bool deactiveEllipsis_ = true;
    bool showing_ = false;  // the edit's text is being set, not typed
};

// The published forms: the chooser and its button sub-component, named "SubRefer".
using TReferEdit = TCustomReferEdit;
using TReferEditRefer = TCustomRefer;

// The first local file of a drag's text/uri-list, "" when it carries none.
std::string DroppedFileName(const QMimeData* data);

}  // namespace tinctor
