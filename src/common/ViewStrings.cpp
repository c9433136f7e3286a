#include "common/ViewStrings.h"

#include "common/Sjis.h"

ViewSettings DefaultViewSettings() {
    ViewSettings view;
    PageFragments& page = view.fragments;
    page.keyMarkOpen = "<FONT COLOR=\"BLUE\">";
    page.keyMarkClose = "</FONT>";
    page.headwordOpen = "<Font Size=+1><span style='font-family: \"Tahoma,Microsoft Sans Serif;\"'>";
    page.headwordClose = "</span></font>";
    page.translationOpen = Sjis::FromUtf8("<span style='font-family: \"ＭＳ ゴシック\"; Color: \"Green\"'>").bytes;
    page.translationClose = "</span>";
    page.examplesOpen = "<span style='font-family: \"Tahoma,Microsoft Sans Serif;\"'>";
    page.examplesClose = "</span>";
    return view;
}
