#include "dialogs/TfrmVersion.h"

TfrmVersion::TfrmVersion(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmVersion"));
    setFixedSize(387, 139);
}
