#pragma once
// A list of matching consignees under an entry field, offered as the user
// types. Down and Up move through the list, Enter takes the chosen entry
// (without a chosen entry Enter keeps its ordinary meaning), a click on an
// entry takes that entry; Escape, leaving the field or a click anywhere else
// closes the list and leaves the typed text as it is. The field keeps the
// focus throughout: the list never becomes the active window.
#include <QObject>
#include <QRect>
#include <cstdint>
#include <functional>
#include <vector>

#include "history/waybill_record.h"

class QLineEdit;
class QListWidget;

class ConsigneeCompletion : public QObject {
    Q_OBJECT
public:
    // Looks up the consignees to offer for the field's text and hands them
    // (empty: none) to the answer, at once or later: the field stays live
    // meanwhile, and an answer overtaken by more typing or by the list's
    // closing is dropped.
    using Answer = std::function<void(std::vector<store::Consignee> found)>;
    using Lookup = std::function<void(const QString& text, Answer answer)>;
    // What taking an entry does.
    using Take = std::function<void(const store::Consignee&)>;
    // Where the list may lie, in global coordinates: it starts at the top
    // left and shows as many rows as the height allows. By default it hangs
    // under the field.
    using Area = std::function<QRect()>;

    ConsigneeCompletion(QLineEdit* field, Lookup lookup, Take onTake, Area area = {});
    ~ConsigneeCompletion() override;

    // The list window, named "<field>_Completion"; null until a list was
    // first shown.
    QListWidget* list() const { return list_; }
    // Looks the field's text up and shows or hides the list.
    void refresh();
    void hide();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void offer(std::vector<store::Consignee> found);
    void take(int row);
    void makeList();
    void place();
    bool fieldKey(QEvent* event);

    QLineEdit* field_;
    Lookup lookup_;
    Take take_;
    Area area_;
    QListWidget* list_ = nullptr;
    std::vector<store::Consignee> offered_;
    std::uint64_t asked_ = 0;  // the newest lookup; hide() counts too
};
