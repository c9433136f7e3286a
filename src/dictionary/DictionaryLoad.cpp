#include "dictionary/DictionaryLoad.h"

#include "dictionary/DataFile.h"
#include "textmodel/TextLines.h"

std::string DamageCounts::Report() const {
    return std::to_string(noNum) + "//" + std::to_string(noTitle) + "::" + std::to_string(noYaku) +
           " データの修復が必要です";
}

bool IsDamageReport(std::string_view utf8) {
    // Three counts between "//" and "::", then the fixed text.
    const auto skipDigits = [&utf8]() {
        std::size_t digits = 0;
        while (digits < utf8.size() && utf8[digits] >= '0' && utf8[digits] <= '9') ++digits;
        utf8.remove_prefix(digits);
        return digits > 0;
    };
    const auto skip = [&utf8](std::string_view text) {
        if (utf8.substr(0, text.size()) != text) return false;
        utf8.remove_prefix(text.size());
        return true;
    };
    return skipDigits() && skip("//") && skipDigits() && skip("::") && skipDigits() &&
           utf8 == " データの修復が必要です";
}

HeadwordScan ScanHeadwords(const TextLines& lines, const Separators& separators) {
    HeadwordScan scan;
    const std::size_t count = lines.LineCount();
    // A headword is part of its line, so this bound holds; what it leaves unwritten
    // costs no memory.
    scan.headwordText = ByteBuffer::WithCapacity(lines.TextBytesBound() + 2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        const IndexEntry entry = CutIndexEntry(lines.LineView(i), separators);
        if (entry.damage != LineDamage::None && !scan.damage.Any()) {
            // The rows so far are their lines; from here on they are not.
            scan.lineOfRow.reserve(count);
            scan.lineOfRow.resize(i);
            for (std::size_t row = 0; row < i; ++row) scan.lineOfRow[row] = static_cast<std::uint32_t>(row);
        }
        switch (entry.damage) {
        case LineDamage::NoNum: ++scan.damage.noNum; break;
        case LineDamage::NoTitle: ++scan.damage.noTitle; break;
        case LineDamage::NoYaku: ++scan.damage.noYaku; break;
        case LineDamage::None:
            scan.headwordText.Append(entry.headword);
            scan.headwordText.Append("\r\n");
            if (scan.damage.Any()) scan.lineOfRow.push_back(static_cast<std::uint32_t>(i));
            break;
        }
    }
    return scan;
}

LoadReport LoadDictionaryText(const std::string& path, const Separators& separators, TextLines& fullText,
                              TextLines& headwordIndex) {
    return LoadDictionaryText(ReadWholeFile(path), separators, fullText, headwordIndex);
}

LoadReport LoadDictionaryText(FileContents contents, const Separators& separators, TextLines& fullText,
                              TextLines& headwordIndex) {
    fullText.SetWholeText(std::move(contents.text));
    HeadwordScan scan = ScanHeadwords(fullText, separators);
    headwordIndex.SetWholeText(std::move(scan.headwordText));

    LoadReport report;
    report.size = contents.size;
    report.damage = scan.damage;
    report.sizeText = "Size=" + std::to_string(contents.size);
    if (scan.damage.Any()) report.damageText = scan.damage.Report();
    report.lineOfHeadwordRow = std::move(scan.lineOfRow);
    return report;
}
