#include "dialogs/TfrmOption.h"

#include "app/Fonts.h"

#include <QLabel>
#include <QPlainTextEdit>

TfrmOption::TfrmOption(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("オプション"));
    setFont(DesignFont(12));

    auto* label = new QLabel(QStringLiteral("検索時に無視する文字列"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->move(5, 7);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("検索時に無視する文字列"));
    Memo1->setGeometry(0, 24, 89, 285);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setPlainText(QStringLiteral("in\nthe\nof\non\nfor\nat\nto\ngo\nend\nany\n"));
}
