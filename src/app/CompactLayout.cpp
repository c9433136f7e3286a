// The two layouts of the window, full and compact, and the splitter between the panes.
#include "app/MainWindow.h"

#include "app/Actions.h"
#include "app/RecordNavigator.h"
#include "app/TSplitter.h"
#include "textview/TEditorEx.h"

#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

void TForm1::ToggleCompact() {
    compact_ = !compact_;
    actions_->SetMenuKeysActive(!compact_);
    if (compact_) {
        ui_.pnlIndex->hide();
        navigator_->SetListsShown(false);

        ui_.StatusBar1->hide();
        menuBar()->hide();  // its shortcuts go with it
        ui_.pnlZenKenCon->hide();

        ui_.pnlBase->layout()->addWidget(ui_.pnlBrowser);
        ui_.pnlBrowser->show();  // a moved widget starts hidden
        ui_.PageControl1->hide();
        ui_.Splitter1->hide();

        normalWidth_ = width();
        normalHeight_ = height();
        resize(318, 200);
    } else {
        ui_.pnlIndex->show();
        navigator_->SetListsShown(true);
        ui_.StatusBar1->show();
        menuBar()->show();
        ui_.pnlZenKenCon->show();

        ui_.TabSheet1->layout()->addWidget(ui_.pnlBrowser);
        ui_.pnlBrowser->show();
        ui_.PageControl1->show();
        ui_.Splitter1->show();

        resize(normalWidth_, normalHeight_);
    }
    navigator_->ShowCurrentHitAgain();
}

bool TForm1::Splitter1CanResize(int newWidth) const { return newWidth >= 100; }

void TForm1::Splitter1Moved() { ui_.SpeedButton2->resize(ui_.Panel2->width(), ui_.SpeedButton2->height()); }
