#pragma once
// The completion list under the search box. It shows as the user types, the arrow keys
// step through it while the keyboard focus stays in the box, and Return or a click
// chooses a row. It never changes the box's text: whoever listens to Chosen does.
//
// The box's keys reach the combo box itself (its line edit is only its focus proxy),
// so that is where they are looked at.

#include <QObject>
#include <QStringList>

class QAbstractItemView;
class QComboBox;
class QKeyEvent;
class QListWidget;

class CompletionPopup : public QObject {
    Q_OBJECT
public:
    // `accessibleName` is what a screen reader calls the list.
    CompletionPopup(QComboBox* box, const QString& accessibleName);
    ~CompletionPopup() override;

    // Shows `texts` under the box with no row current; an empty list hides it.
    void SetItems(const QStringList& texts);
    void Hide();
    bool IsShown() const;
    int CurrentRow() const;  // -1 for none
    QStringList Items() const;
    QAbstractItemView* View() const;

signals:
    void Chosen(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Eats(const QKeyEvent& key) const;
    bool KeyPressed(const QKeyEvent& key);  // true when the box must not see the key
    void MakeCurrent(int row);
    void Choose(int row);
    void Place();

    QComboBox* box_;
    QListWidget* list_;
};
