#pragma once
// A one-line label for messages of any length (a file path, say): it never
// widens its window, draws what does not fit with "…" in the middle, and
// shows the whole text as its tooltip. text() is always the whole text.
#include <QLabel>

class ElidedLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;
    // Whether the text is drawn shortened at the label's width.
    bool elided() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};
