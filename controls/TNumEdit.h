#pragma once
// Self-drawn single-line edit control for signed decimal numbers. Input is
// accepted only at the end of the value and the selection is all or
// nothing; the value model (num_edit_model.h) holds every editing rule, this
// class draws it and turns Qt events into model calls.
//
// A form that needs to see keys before the control (its own Enter or Up
// handling) installs an event filter on it; a filter that eats a key press
// keeps it from the control, one that lets it pass leaves the control's own
// reaction in place.
#include <QBasicTimer>
#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include "controls/num_edit_model.h"
#include "controls/num_layout.h"

class QMenu;

class TNumEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY changed)

public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    enum TVertAlignment { taTopJustify, taBottomJustify, taVCenter };
    enum TBorderStyle { bsNone, bsSingle };

    explicit TNumEdit(QWidget* parent = nullptr);
    ~TNumEdit() override;

    // Value
    QString text() const;
    void setText(const QString& text);
    QString displayText() const;

    // Properties that shape the value
    int integerLength() const { return model_.format().integerLength; }
    void setIntegerLength(int n);
    int decimalLength() const { return model_.format().decimalLength; }
    void setDecimalLength(int n);
    bool minus() const { return model_.format().minus; }
    void setMinus(bool on);
    bool comma() const { return model_.format().comma; }
    void setComma(bool on);
    bool decimalFixed() const { return model_.format().decimalFixed; }
    void setDecimalFixed(bool on);
    bool integerFixed() const { return model_.format().integerFixed; }
    void setIntegerFixed(bool on);
    bool zeroEnabled() const { return model_.zeroEnabled(); }
    void setZeroEnabled(bool on);
    QString leftMark() const;
    void setLeftMark(const QString& mark);
    QString rightMark() const;
    void setRightMark(const QString& mark);

    // Behaviour
    bool readOnly() const { return model_.readOnly; }
    void setReadOnly(bool on) { model_.readOnly = on; }
    bool errorBeep() const { return model_.errorBeep; }
    void setErrorBeep(bool on) { model_.errorBeep = on; }
    bool imageCopy() const { return model_.imageCopy; }
    void setImageCopy(bool on) { model_.imageCopy = on; }
    bool hideSelection() const { return model_.hideSelection; }
    void setHideSelection(bool on) { model_.hideSelection = on; }
    bool enterFocusMove() const { return model_.enterFocusMove; }
    void setEnterFocusMove(bool on) { model_.enterFocusMove = on; }
    bool arrowFocusMove() const { return model_.arrowFocusMove; }
    void setArrowFocusMove(bool on) { model_.arrowFocusMove = on; }
    bool autoSelect() const { return model_.autoSelect; }
    void setAutoSelect(bool on);
    unsigned options() const { return model_.options; }
    void setOptions(unsigned numeditOptions) { model_.options = numeditOptions; }

    // Look
    TAlignment alignment() const { return alignment_; }
    void setAlignment(TAlignment a);
    TVertAlignment vertAlignment() const { return vertAlignment_; }
    void setVertAlignment(TVertAlignment a);
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    TBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle s);
    bool ctl3D() const { return ctl3D_; }
    void setCtl3D(bool on);
    int leftMargin() const { return margins_[0]; }
    int topMargin() const { return margins_[1]; }
    int rightMargin() const { return margins_[2]; }
    int bottomMargin() const { return margins_[3]; }
    void setLeftMargin(int px);
    void setTopMargin(int px);
    void setRightMargin(int px);
    void setBottomMargin(int px);
    QColor color() const;
    void setColor(const QColor& c);
    QColor disabledColor() const;
    void setDisabledColor(const QColor& c);

    // Editing operations (also reachable by keys and the popup menu)
    void selectAll() { model_.selectAll(); }
    void clearSelection() { model_.clearSelection(); }
    void clear() { model_.clear(); }
    void copyToClipboard() { model_.copyToClipboard(); }
    void cutToClipboard() { model_.cutToClipboard(); }
    void pasteFromClipboard() { model_.pasteFromClipboard(); }
    void undo() { model_.undo(); }
    bool hasSelection() const { return model_.hasSelection(); }
    bool undoAvailable() const { return model_.undoAvailable(); }

    // Popup menu: the built-in one unless another was assigned.
    QMenu* popupMenu() const;
    void setPopupMenu(QMenu* menu);
    void menuPopup();  // focuses the control and enables the built-in items
    void menuClick(int tag);

    // Geometry, in widget coordinates (the border is outside the client area).
    QRect clientRect() const;
    int textHeight() const { return textHeight_; }
    int caretWidth() const { return caretWidth_; }
    QRect leftMarkRect() const;
    QRect textRect() const;
    QRect rightMarkRect() const;
    QRect caretRect() const;    // where the caret stands, focused or not
    bool caretShown() const { return caretCreated_; }
    int availableWidth() const;

    QSize sizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void changed();  // the value changed through input or setText
    void clicked();
    void doubleClicked();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void wireModel();
    QMenu* ownMenu() const;
    void buildMenu();
    void gainedParent();
    void fontChanged();
    void measureFont();
    void adjustHeight();
    void applyBorder();
    void updateCaret();
    void createCaret();
    void destroyCaret();
    void viewChanged();
    void moveFocus(int direction);
    int measure(std::string_view sjis) const;
    numedit::LayoutBoxes layout() const;
    QRect toWidget(const numedit::Box& b) const;

    numedit::NumEditModel model_;
    TAlignment alignment_ = taRightJustify;
    TVertAlignment vertAlignment_ = taVCenter;
    TBorderStyle borderStyle_ = bsSingle;
    bool ctl3D_ = true;
    bool autoSize_ = true;
    int margins_[4] = {2, 2, 2, 2};  // left, top, right, bottom
    QColor color_;                   // invalid: the palette's window colour
    QColor disabledColor_;           // invalid: the palette's grey text
    int textHeight_ = 0;
    int caretWidth_ = 1;
    bool caretCreated_ = false;
    bool caretBlinkOn_ = true;
    QBasicTimer caretBlink_;
    QMenu* ownMenu_ = nullptr;
    QPointer<QMenu> assignedMenu_;
};
