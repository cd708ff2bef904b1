#pragma once
// The designer's drawing: the picture of the empty form scaled onto the
// page, each item's box over it with its sample text in the print font at
// its size, the selected box with a handle at its bottom-right corner, and
// boxes whose sample spills out drawn in red. The mouse selects, drags and
// resizes a box; the arrow keys nudge the selected one by 0.1 mm (Shift:
// 1 mm).
#include <QPixmap>
#include <QWidget>
#include <optional>
#include <vector>

#include "app/form_designer/form_design.h"

namespace form_design {

inline constexpr double kNudgeMm = 0.1, kShiftNudgeMm = 1.0;

class FormCanvas final : public QWidget {
    Q_OBJECT
public:
    explicit FormCanvas(FormDesign& design, QWidget* parent = nullptr);

    void setScan(const QImage& image);
    // Items drawn as spilling (indexes into the form's items).
    void setSpilled(std::vector<bool> spilled);
    std::optional<std::size_t> selected() const { return selected_; }
    void select(std::optional<std::size_t> index);
    // The design changed outside (a new form, a new size): redraw.
    void designReset();

    // Widget pixels of a point in millimetres on the form, and back.
    QPointF toWidget(double xMm, double yMm) const;
    QPointF toMm(QPointF widgetPoint) const;
    QRectF boxRect(std::size_t index) const;

    QSize sizeHint() const override { return {900, 500}; }

signals:
    void selectionChanged();
    // A box was moved or resized (while dragging, at every step).
    void boxChanged(std::size_t index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Move, Resize };
    double pixelsPerMm() const;
    QRectF pageRect() const;
    std::optional<std::size_t> itemAt(QPointF p) const;
    bool onHandle(QPointF p) const;
    void paintItems(QPainter& painter) const;

    FormDesign& design_;
    QImage scan_;
    QPixmap scaled_;  // the scan at the page's size on the screen, made once per size
    std::vector<bool> spilled_;
    std::optional<std::size_t> selected_;
    Drag drag_ = Drag::None;
    QPointF dragStartMm_;
    BoxMm dragStartBox_;
};

}  // namespace form_design
