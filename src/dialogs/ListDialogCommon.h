#pragma once
// What the history and the word list dialogs share: the filter box with its label,
// the list view's settings for long lists, and how a moment is written.

#include <QString>

#include <cstdint>

class QBoxLayout;
class QFontMetrics;
class QLineEdit;
class QTableView;
class QWidget;

// "絞り込み(&F):" and its box, on a row of `layout`; the box.
QLineEdit* AddFilterRow(QWidget* parent, QBoxLayout* layout);

// A list of whole rows, one line each at a fixed height, so that a view of 100,000
// rows asks the model only for the rows it shows.
QTableView* NewListView(QWidget* parent, const char* objectName, const QString& accessibleName);

// A moment (milliseconds since 1970, UTC) in local time: the system's short date and a
// 24-hour time with seconds.
QString LocalTimeText(std::int64_t millisecondsUtc);
// Wide enough for any moment LocalTimeText writes, with a cell's margins.
int LocalTimeColumnWidth(const QFontMetrics& metrics);
