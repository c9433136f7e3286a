#include "dialogs/TfrmInfomation.h"

TfrmInfomation::TfrmInfomation(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("frmInfomation"));
    setWindowTitle(QStringLiteral("データ情報"));
    setFixedSize(519, 183);
}
