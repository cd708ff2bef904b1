#pragma once
// The print preview (F10, "プレビュー"): the page the print command would
// send now, drawn by the print job's own canvas code at the printer's
// resolution over the printable area and the form's item areas, with texts
// that do not fit marked in red. It follows the main form while open and
// takes the margin dialog's fields as they are typed.
#include <QPointer>
#include <QWidget>
#include <optional>

#include "print/preview_page.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QWheelEvent;
class TForm_SLIP97YPrn;

class PreviewView final : public QWidget {
    Q_OBJECT
public:
    explicit PreviewView(const print_preview::PreviewPage& page, QWidget* parent = nullptr);
    // Screen pixels per device pixel of the printer.
    double zoom() const { return zoom_; }
    void setZoom(double zoom);

signals:
    void ctrlWheel(int steps);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    const print_preview::PreviewPage& page_;
    double zoom_ = 0.25;
};

class TForm_Preview final : public QWidget {
    Q_OBJECT
public:
    // A window of its own, owned by the main form; it follows the form's
    // controls by their names and, when given, the margin dialog's fields.
    TForm_Preview(QWidget& form, TForm_SLIP97YPrn* marginDialog);

    QPushButton* Button_Fit = nullptr;     // "全体"
    QPushButton* Button_Actual = nullptr;  // "100%"
    QPushButton* Button_Close = nullptr;   // "閉じる", also Esc
    QLabel* Label_Zoom = nullptr;
    QLabel* Label_Overflow = nullptr;      // "はみ出す項目: …" or why the page cannot be drawn
    QScrollArea* ScrollArea = nullptr;
    PreviewView* View = nullptr;

    // Recomputes the page from the form and the current printer now.
    void refresh();
    // Recomputes once the current event is done (many changes, one redraw).
    void scheduleRefresh();
    // Margins that stand in for the main form's (the margin dialog's fields
    // while it is open); none: the main form's labels.
    void setMargins(const std::optional<print_preview::Margins>& margins);

    const print_preview::PreviewPage& page() const { return page_; }
    double zoom() const;
    void zoomToFit();
    void zoomActual();  // the paper at its real size on the screen
    void zoomBy(int steps);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void followForm();
    void setZoom(double zoom);

    QWidget& form_;
    QPointer<TForm_SLIP97YPrn> marginDialog_;
    print_preview::PreviewPage page_;
    std::optional<print_preview::Margins> margins_;
    bool refreshPending_ = false;
    bool fitted_ = false;
};
