#include "dialogs/ListDialogCommon.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTableView>

namespace {

constexpr int kCellMargins = 16;

const QString& TimeFormat() {
    static const QString format =
        QLocale::system().dateFormat(QLocale::ShortFormat) + QStringLiteral(" HH:mm:ss");
    return format;
}

}  // namespace

QLineEdit* AddFilterRow(QWidget* parent, QBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("絞り込み(&F):"), parent);
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("Filter"));
    box->setClearButtonEnabled(true);
    label->setBuddy(box);
    row->addWidget(label);
    row->addWidget(box, 1);
    layout->addLayout(row);
    return box;
}

QTableView* NewListView(QWidget* parent, const char* objectName, const QString& accessibleName) {
    auto* view = new QTableView(parent);
    view->setObjectName(QLatin1String(objectName));
    view->setAccessibleName(accessibleName);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideRight);
    view->setShowGrid(false);
    view->setAlternatingRowColors(true);
    view->setTabKeyNavigation(false);  // Tab leaves the list for the next control
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

QString LocalTimeText(std::int64_t millisecondsUtc) {
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(millisecondsUtc, Qt::LocalTime);
    return QLocale::system().toString(time, TimeFormat());
}

int LocalTimeColumnWidth(const QFontMetrics& metrics) {
    // The widest day of the widest month, with two-digit hours everywhere.
    const QDateTime widest(QDate(2000, 12, 28), QTime(20, 48, 58));
    return metrics.horizontalAdvance(QLocale::system().toString(widest, TimeFormat())) + kCellMargins;
}
