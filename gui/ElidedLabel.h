#pragma once
#include <QLabel>

namespace veldrin::gui {

// A one-line label that shows a fixed prefix and then a text (a path, a status) shortened in the middle
// when the whole does not fit, with the whole text as its tool tip. It never widens its layout.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString& prefix, const QString& text, QWidget* parent = nullptr);

    void setElidedText(const QString& text);
    // The prefix followed by the whole text, whatever is shown.
    QString fullText() const { return prefix_ + text_; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();

    QString prefix_;
    QString text_;
};

} // namespace veldrin::gui
