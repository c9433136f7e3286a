#pragma once
// The keys of a list's filter box that belong to the list: Up, Down, Page Up and Page
// Down move the list's current row, and Return chooses it, so the user types and then
// picks a row without leaving the box.

#include <QObject>

#include <functional>

class QAbstractItemView;
class QLineEdit;

class FilterBoxKeys final : public QObject {
public:
    // Watches `box` for as long as it lives; `choose` runs on Return.
    FilterBoxKeys(QLineEdit* box, QAbstractItemView* list, std::function<void()> choose);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView* list_;
    std::function<void()> choose_;
};
