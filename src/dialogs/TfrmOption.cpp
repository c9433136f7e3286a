#include "dialogs/TfrmOption.h"

#include "common/ErrorBoundary.h"
#include "common/StringHelpers.h"
#include "ui/Fonts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// The memo ends and the button sits this far from the bottom and right edges of the
// 237 × 390 design, whatever height the user gives the dialog.
constexpr int kMemoBottomGap = 390 - 285;
constexpr int kButtonRightGap = 237 - 137;
constexpr int kButtonBottomGap = 390 - 320;

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

}  // namespace

TfrmOption::TfrmOption(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("オプション"));
    setFont(DesignFont(12));

    auto* memoTitle = AddLabel(this, "Label1", QStringLiteral("検索時に無視する文字列"), 5, 7);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(memoTitle->text());
    Memo1->setGeometry(0, 24, 89, 285);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTabChangesFocus(true);  // Tab walks the dialog; entries never hold tabs
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoTitle->setBuddy(Memo1);

    AddLabel(this, "Label2", QStringLiteral("全ヒットが下記の数を"), 100, 32);
    auto* limitTitle = AddLabel(this, "Label3", QStringLiteral("超えたら検索しない"), 100, 48);

    Edit1 = new QLineEdit(QStringLiteral("0"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("全ヒットが下記の数を超えたら検索しない"));
    Edit1->setGeometry(108, 64, 61, 20);
    limitTitle->setBuddy(Edit1);

    AddLabel(this, "Label4", QStringLiteral("１文字だけの文字"), 100, 96);
    AddLabel(this, "Label5", QStringLiteral("[例] a あ ... など"), 104, 112);
    AddLabel(this, "Label6", QStringLiteral("はキーとして認識しない"), 100, 128);

    Button1 = new QPushButton(QStringLiteral("閉じる"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(137, 320, 77, 25);
    connect(Button1, &QPushButton::clicked, this, Guarded(this, &TfrmOption::Button1Click));

    setTabOrder(Memo1, Button1);
    setTabOrder(Button1, Edit1);

    setMaximumWidth(237);
    setMinimumHeight(300);
    resize(237, 390);
    move(367, 261);
}

void TfrmOption::Button1Click() { close(); }

TfrmOption::Values TfrmOption::Edit(const Values& values) {
    Edit1->setText(QString::number(values.hitLimit));
    // The memo keeps its caret, scroll and undo while the words are the same.
    if (Memo1->toPlainText() != values.ignoredWords) Memo1->setPlainText(values.ignoredWords);
    exec();
    // There is no Cancel: whatever the boxes hold when the dialog closes is taken.
    return {StrToIntLoose(Edit1->text().toStdString()), Memo1->toPlainText()};
}

void TfrmOption::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    RunGuarded([this] {
        Memo1->resize(Memo1->width(), height() - kMemoBottomGap);
        Button1->move(width() - kButtonRightGap, height() - kButtonBottomGap);
    });
}
