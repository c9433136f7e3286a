#include "dialogs/TfrmInfomation.h"

#include "common/ErrorBoundary.h"
#include "dialogs/CentreOverParent.h"
#include "ui/Fonts.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>

namespace {

constexpr int kDesignedUpdateWidth = 129;

// A read-only box named after the label in front of it, so a screen reader says what
// the box holds.
QLineEdit* AddFact(QWidget* parent, const char* labelName, const QString& caption, QPoint labelAt,
                   const char* boxName, QRect box) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(labelName));
    label->move(labelAt);
    label->adjustSize();

    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(boxName));
    edit->setReadOnly(true);
    edit->setGeometry(box);
    edit->setAccessibleName(caption);
    label->setBuddy(edit);
    return edit;
}

}  // namespace

TfrmInfomation::TfrmInfomation(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("frmInfomation"));
    setWindowTitle(QStringLiteral("データ情報"));
    setFont(DesignFont(12));
    setFixedSize(519, 183);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(4, 4, 512, 140);

    GroupBox1 = new QGroupBox(QStringLiteral("データ情報"), Panel1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(4, 6, 504, 131);
    // The boxes were placed for a frame whose top line runs through the caption; the
    // desktop's usual style puts the frame below the caption, across the first label.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows"))) {
        style->setParent(GroupBox1);
        GroupBox1->setStyle(style);
    }

    edtFilename = AddFact(GroupBox1, "Label1", QStringLiteral("データファイル名"), {8, 16}, "edtFilename",
                          {8, 32, 488, 20});
    edtFileSize = AddFact(GroupBox1, "Label3", QStringLiteral("ファイルサイズ"), {8, 64}, "edtFileSize",
                          {92, 60, 77, 20});
    edtFileUpdate = AddFact(GroupBox1, "Label4", QStringLiteral("最終更新日"), {24, 86}, "edtFileUpdate",
                            {92, 82, kDesignedUpdateWidth, 20});
    edtNumOfData = AddFact(GroupBox1, "Label2", QStringLiteral("データ件数"), {24, 108}, "edtNumOfData",
                           {92, 104, 77, 20});
    // Only the name box and the button take Tab; a click still lets the user select
    // and copy the others.
    for (QLineEdit* edit : {edtFileSize, edtFileUpdate, edtNumOfData}) edit->setFocusPolicy(Qt::ClickFocus);

    Button1 = new QPushButton(QStringLiteral("閉じる"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(431, 150, 77, 21);
    connect(Button1, &QPushButton::clicked, this, Guarded(this, &TfrmInfomation::Button1Click));
}

void TfrmInfomation::ShowFacts(const QString& shortenedName, const QString& fullName, const QString& size,
                               const QString& update, const QString& count) {
    edtFilename->setText(shortenedName);
    edtFilename->setCursorPosition(0);
    edtFilename->setToolTip(fullName);
    edtFilename->setAccessibleDescription(fullName);  // the whole path, not only what fits
    edtFileSize->setText(size);
    edtFileUpdate->setText(update);
    edtFileUpdate->setCursorPosition(0);
    // The box was laid out for "2026/12/08 9:41:07"; a locale that spells the time out
    // ("21時28分45秒") gets the room it needs rather than a cut date.
    const int needed = edtFileUpdate->fontMetrics().horizontalAdvance(update) + 12;
    edtFileUpdate->resize(std::max(kDesignedUpdateWidth, needed), edtFileUpdate->height());
    edtNumOfData->setText(count);
}

void TfrmInfomation::Button1Click() { close(); }

void TfrmInfomation::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) RunGuarded([this] { CentreOverParent(this); });
    QDialog::showEvent(event);
}
