#include "scripthost/CheckListForm.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "platform/QtText.h"
#include "platform/WindowHelpers.h"

namespace tinctor {

namespace {

// The form as it was designed.
constexpr QSize kClient{416, 240};
constexpr QPoint kTextAt{16, 8};
constexpr QRect kListRect{8, 24, 321, 205};
constexpr int kItemHeight = 12;
constexpr int kIndicatorSize = 10;
constexpr QRect kOKRect{336, 26, 75, 25};
constexpr QRect kCancelRect{336, 57, 75, 25};
constexpr int kFontPixels = 12;
// Stands in for the proportional gothic font of the design.
constexpr const char* kFontFamily = "IPAPGothic";

QPushButton* MakeButton(QDialog& dialog, const char* objectName, const char* caption, const QRect& rect) {
    auto* button = new QPushButton(QString::fromLatin1(caption), &dialog);
    button->setObjectName(objectName);
    button->setGeometry(rect);
    return button;
}

}  // namespace

TfrmCheckList::TfrmCheckList(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName("TfrmCheckList");
    QFont font(kFontFamily);
    font.setPixelSize(kFontPixels);
    setFont(font);
    setFixedSize(kClient);
    lblText = new QLabel(this);
    lblText->setObjectName("lblText");
    lblText->move(kTextAt);
    lbCheck = new QListWidget(this);
    lbCheck->setObjectName("lbCheck");
    lbCheck->setGeometry(kListRect);
    lbCheck->setUniformItemSizes(true);
    // The style's check box is taller than the designed rows: one that fits them.
    lbCheck->setStyleSheet(QStringLiteral("QListWidget::indicator { width: %1px; height: %1px; }").arg(kIndicatorSize));
    btnOK = MakeButton(*this, "btnOK", "OK", kOKRect);
    btnOK->setDefault(true);
    btnCancel = MakeButton(*this, "btnCancel", "Cancel", kCancelRect);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // A click on a line's box selects the line too, as a click on its text does.
    connect(lbCheck, &QListWidget::itemChanged, lbCheck, [this](QListWidgetItem* item) { lbCheck->setCurrentItem(item); });
    CentreOnOwner(*this, owner);
}

void TfrmCheckList::Fill(const kestrel::TJCheckList& list) {
    setWindowTitle(ToQString(list.Caption));
    lblText->setText(ToQString(list.Text));
    lblText->adjustSize();
    const QSignalBlocker filling(lbCheck);
    lbCheck->clear();
    for (std::size_t i = 0; i < list.Lines.size(); ++i) {
        auto* item = new QListWidgetItem(ToQString(list.Lines[i]), lbCheck);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(i < list.Checked.size() && list.Checked[i] ? Qt::Checked : Qt::Unchecked);
        item->setSizeHint(QSize(0, kItemHeight));
    }
    const bool selects = list.Index >= 0 && list.Index < lbCheck->count();
    lbCheck->setCurrentRow(selects ? list.Index : -1);
}

std::vector<bool> TfrmCheckList::Marks() const {
    std::vector<bool> marks(static_cast<std::size_t>(lbCheck->count()));
    for (int i = 0; i < lbCheck->count(); ++i) marks[static_cast<std::size_t>(i)] = lbCheck->item(i)->checkState() == Qt::Checked;
    return marks;
}

int TfrmCheckList::SelectedLine() const {
    const QList<QListWidgetItem*> selected = lbCheck->selectedItems();
    return selected.isEmpty() ? -1 : lbCheck->row(selected.front());
}

void TfrmCheckList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return event->accept();
    QDialog::keyPressEvent(event);
}

}  // namespace tinctor
