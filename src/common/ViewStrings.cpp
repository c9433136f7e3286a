#include "common/ViewStrings.h"

#include "common/Sjis.h"

ViewStringTable DefaultViewStrings() {
    ViewStringTable strings;
    strings[ViewSlot::SepNum] = " ";
    strings[ViewSlot::SepTitle] = "///";
    strings[ViewSlot::SepYaku] = ":::";
    strings[ViewSlot::KeyMarkOpen] = "<FONT COLOR=\"BLUE\">";
    strings[ViewSlot::KeyMarkClose] = "</FONT>";
    strings[ViewSlot::HeadwordOpen] = "<Font Size=+1><span style='font-family: \"Tahoma,Microsoft Sans Serif;\"'>";
    strings[ViewSlot::HeadwordClose] = "</span></font>";
    strings[ViewSlot::TranslationOpen] =
        Sjis::FromUtf8("<span style='font-family: \"ＭＳ ゴシック\"; Color: \"Green\"'>").bytes;
    strings[ViewSlot::TranslationClose] = "</span>";
    strings[ViewSlot::ExamplesOpen] = "<span style='font-family: \"Tahoma,Microsoft Sans Serif;\"'>";
    strings[ViewSlot::ExamplesClose] = "</span>";
    return strings;
}
