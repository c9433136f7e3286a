#include "app/Forms.h"

#include "app/MainWindow.h"
#include "dialogs/TfrmInfomation.h"
#include "dialogs/TfrmOption.h"
#include "dialogs/TfrmVersion.h"

std::unique_ptr<TForm1> CreateForms() {
    auto form1 = std::make_unique<TForm1>();
    form1->frmInfomation = new TfrmInfomation(form1.get());
    form1->frmVersion = new TfrmVersion(form1.get());
    form1->frmOption = new TfrmOption(form1.get());
    return form1;
}
