// The two layouts of the window, full and compact, and the splitter between the panes.
#include "app/MainWindow.h"

#include "app/Actions.h"
#include "app/TSplitter.h"
#include "textview/TEditorEx.h"

#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

bool TForm1::IsCompact() const { return compact_; }

void TForm1::ToggleCompact() {
    compact_ = !compact_;
    actions_->SetMenuKeysActive(!compact_);
    if (compact_) {
        searchIndexShown_ = false;
        pnlIndex->hide();
        SpeedButton2->setText(QStringLiteral("インデックス"));
        EditorEx3->hide();
        EditorEx2->hide();

        StatusBar1->hide();
        menuBar()->hide();  // its shortcuts go with it
        pnlZenKenCon->hide();

        pnlBase->layout()->addWidget(pnlBrowser);
        pnlBrowser->show();  // a moved widget starts hidden
        PageControl1->hide();
        Splitter1->hide();

        normalWidth_ = width();
        normalHeight_ = height();
        resize(318, 200);
    } else {
        pnlIndex->show();
        EditorEx2->show();
        StatusBar1->show();
        menuBar()->show();
        pnlZenKenCon->show();

        TabSheet1->layout()->addWidget(pnlBrowser);
        pnlBrowser->show();
        PageControl1->show();
        Splitter1->show();

        resize(normalWidth_, normalHeight_);
    }
    ShowCurrentHit();
    // The index was hidden while the caret moved: it scrolls to it now, as the index
    // button does when it brings a list back.
    if (TEditorEx* index = VisibleIndex()) index->ShowCaretRow();
}

bool TForm1::Splitter1CanResize(int newWidth) const { return newWidth >= 100; }

void TForm1::Splitter1Moved() { SpeedButton2->resize(Panel2->width(), SpeedButton2->height()); }
