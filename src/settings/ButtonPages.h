// A page control whose pages are chosen with push buttons along its top, in as many
// rows as the captions need; the page below is the area the page's controls sit on.
#pragma once

#include <QWidget>

#include <vector>

class QButtonGroup;
class QPushButton;

namespace tinctor {

class TButtonPages : public QWidget {
    Q_OBJECT
public:
    static constexpr int ButtonHeight = 23;

    explicit TButtonPages(QWidget* parent);

    // A new page named Name with its button captioned Caption ("&" marks the access
    // key); the controls of the page are made with the returned widget as parent.
    QWidget* AddPage(const QString& name, const QString& caption);

    int Count() const { return static_cast<int>(pages_.size()); }
    int CurrentIndex() const { return current_; }
    void SetCurrentIndex(int index);
    QWidget* Page(int index) const { return pages_.at(static_cast<std::size_t>(index)).sheet; }
    QPushButton* PageButton(int index) const { return pages_.at(static_cast<std::size_t>(index)).button; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct TPage {
        QPushButton* button;
        QWidget* sheet;
    };
    void Relayout();

    std::vector<TPage> pages_;
    QButtonGroup* group_;
    int current_ = -1;
};

}  // namespace tinctor
