#include "app/CompletionPopup.h"

#include "common/ErrorBoundary.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int kVisibleRows = 10;

bool IsReturn(const QKeyEvent& key) { return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter; }

}  // namespace

CompletionPopup::CompletionPopup(QComboBox* box, const QString& accessibleName)
    : QObject(box), box_(box), list_(new QListWidget(box)) {
    // A window of its own, above the others, that never takes the focus: no popup grab,
    // so the keys the list does not take go on into the box.
    list_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    list_->setAttribute(Qt::WA_ShowWithoutActivating);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setAccessibleName(accessibleName);
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // The pressed row is the current one by the time the click ends.
    connect(list_, &QAbstractItemView::clicked, this, Guarded([this] { Choose(CurrentRow()); }));
    box_->installEventFilter(this);
    box_->window()->installEventFilter(this);
}

CompletionPopup::~CompletionPopup() { delete list_; }

void CompletionPopup::SetItems(const QStringList& texts) {
    // With the focus elsewhere no keys would reach the list, nor would losing it hide it.
    if (texts.isEmpty() || !box_->isVisible() || !box_->hasFocus()) return Hide();
    list_->clear();
    list_->addItems(texts);
    list_->selectionModel()->clear();
    Place();
    list_->show();
}

void CompletionPopup::Hide() {
    // A screen reader left on a row of a list that goes is told it is in the box again.
    const bool rowWasCurrent = list_->isVisible() && CurrentRow() >= 0;
    list_->hide();
    list_->clear();
    if (rowWasCurrent && QAccessible::isActive()) {
        QAccessibleEvent backInTheBox(box_, QAccessible::Focus);
        QAccessible::updateAccessibility(&backInTheBox);
    }
}

bool CompletionPopup::IsShown() const { return list_->isVisible(); }

int CompletionPopup::CurrentRow() const { return list_->currentRow(); }

QStringList CompletionPopup::Items() const {
    QStringList texts;
    for (int row = 0; row < list_->count(); ++row) texts << list_->item(row)->text();
    return texts;
}

QAbstractItemView* CompletionPopup::View() const { return list_; }

bool CompletionPopup::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_) {
        // The window moved, changed size or went away: the list would hang where the box was.
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Hide)
            Hide();
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // A key the list takes triggers no shortcut of the window either.
        const bool eaten = Eats(static_cast<const QKeyEvent&>(*event));
        if (eaten) event->accept();
        return eaten;
    }
    case QEvent::KeyPress: {
        const bool eaten = RunGuarded(false, [&] { return KeyPressed(static_cast<const QKeyEvent&>(*event)); });
        if (eaten) event->accept();
        return eaten;
    }
    case QEvent::FocusOut:
        if (!list_->isActiveWindow()) Hide();
        break;
    case QEvent::Move:  // so did the box
    case QEvent::Resize:
    case QEvent::Hide: Hide(); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

bool CompletionPopup::Eats(const QKeyEvent& key) const {
    if (!IsShown() || (key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape: return true;
    default: return IsReturn(key) && CurrentRow() >= 0;
    }
}

bool CompletionPopup::KeyPressed(const QKeyEvent& key) {
    if (!Eats(key)) {
        // Return with no row chosen is the box's own, and the list has had its use.
        if (IsShown() && IsReturn(key)) Hide();
        return false;
    }
    const int row = CurrentRow();
    const int last = list_->count() - 1;
    const int page = std::min(kVisibleRows, list_->count());
    switch (key.key()) {
    case Qt::Key_Down: MakeCurrent(std::min(row + 1, last)); break;
    case Qt::Key_Up: MakeCurrent(std::max(row - 1, -1)); break;  // above the first row: back to the box
    case Qt::Key_PageDown: MakeCurrent(std::min(row + page, last)); break;
    case Qt::Key_PageUp: MakeCurrent(row < 0 ? -1 : std::max(row - page, 0)); break;
    case Qt::Key_Escape: Hide(); break;
    default: Choose(row); break;
    }
    return true;
}

void CompletionPopup::MakeCurrent(int row) {
    if (row == CurrentRow()) return;
    const QModelIndex index = list_->model()->index(row, 0);  // none for -1
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (index.isValid()) list_->scrollTo(index);
    if (!QAccessible::isActive()) return;
    // Whether the view tells a screen reader of a new current row while the focus is in
    // another widget depends on the Qt version, so it is told here; a list's child is its
    // row. Back above the first row, the user is in the box again.
    if (!index.isValid()) {
        QAccessibleEvent backInTheBox(box_, QAccessible::Focus);
        QAccessible::updateAccessibility(&backInTheBox);
        return;
    }
    for (const QAccessible::Event kind : {QAccessible::Focus, QAccessible::Selection}) {
        QAccessibleEvent event(list_, kind);
        event.setChild(row);
        QAccessible::updateAccessibility(&event);
    }
}

void CompletionPopup::Choose(int row) {
    if (row < 0) return;
    emit Chosen(row);
    // After the signal, so that a text the listener puts into the box shows no list.
    Hide();
}

void CompletionPopup::Place() {
    list_->setFont(box_->font());
    // The list's window is never the active one, yet it stands for the box, which is.
    QPalette palette = QApplication::palette(list_);
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto colorRole = static_cast<QPalette::ColorRole>(role);
        palette.setBrush(QPalette::Inactive, colorRole, palette.brush(QPalette::Active, colorRole));
    }
    list_->setPalette(palette);

    // Rows all of one height, the highest: kana and kanji come from a taller fallback
    // font than Latin letters do. A row of them counts too, so that the rows do not
    // change height as the script of the items does while the user types.
    list_->addItem(QStringLiteral("あ漢A"));
    int rowHeight = list_->sizeHintForRow(list_->count() - 1);
    delete list_->takeItem(list_->count() - 1);
    int textWidth = 0;
    for (int row = 0; row < list_->count(); ++row) {
        const QSize natural = list_->sizeHintForIndex(list_->model()->index(row, 0));
        textWidth = std::max(textWidth, natural.width());
        rowHeight = std::max(rowHeight, natural.height());
    }
    for (int row = 0; row < list_->count(); ++row) list_->item(row)->setSizeHint(QSize(textWidth, rowHeight));

    const int frame = list_->frameWidth();
    const int rows = std::min(kVisibleRows, list_->count());
    int width = textWidth + 2 * frame;
    if (list_->count() > rows) width += list_->verticalScrollBar()->sizeHint().width();
    QRect placed(box_->mapToGlobal(QPoint(0, box_->height())),
                 QSize(std::max(width, box_->width()), rows * rowHeight + 2 * frame));
    if (const QScreen* screen = box_->screen()) {
        // On the screen: above the box when there is no room under it.
        const QRect room = screen->availableGeometry();
        placed.setWidth(std::min(placed.width(), room.width()));
        if (placed.bottom() > room.bottom()) placed.moveBottom(box_->mapToGlobal(QPoint(0, 0)).y() - 1);
        placed.moveLeft(std::clamp(placed.left(), room.left(), room.right() + 1 - placed.width()));
    }
    list_->setGeometry(placed);
}
