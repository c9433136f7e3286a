#include "session/DelimitedText.h"

#include <algorithm>

namespace {

// The text read so far and where in it the reader is.
class RowReader {
public:
    RowReader(std::string_view text, char separator, std::int64_t firstLine)
        : text_(text), separator_(separator), line_(firstLine) {}

    DelimitedRows ReadAll() {
        DelimitedRows rows;
        while (pos_ < text_.size()) {
            if (AtLineEnd()) {  // an empty line
                SkipLineEnd();
                continue;
            }
            DelimitedRecord record{line_, {}};
            for (;;) {
                std::string field;
                if (!ReadField(field)) {
                    rows.unclosedQuoteLine = quoteLine_;
                    return rows;
                }
                record.fields.push_back(std::move(field));
                if (pos_ < text_.size() && text_[pos_] == separator_) {
                    ++pos_;
                    continue;
                }
                SkipLineEnd();
                break;
            }
            rows.records.push_back(std::move(record));
        }
        return rows;
    }

private:
    bool AtLineEnd() const {
        return text_[pos_] == '\n' || (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n');
    }

    void SkipLineEnd() {
        if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        ++line_;
    }

    // Up to the separator or the line end, which stays unread. False at an unclosed quote.
    bool ReadField(std::string& field) {
        if (pos_ < text_.size() && text_[pos_] == '"') {
            quoteLine_ = line_;
            ++pos_;
            for (;;) {
                const std::size_t quote = text_.find('"', pos_);
                if (quote == std::string_view::npos) return false;
                const std::string_view quoted = text_.substr(pos_, quote - pos_);
                line_ += std::count(quoted.begin(), quoted.end(), '\n');
                field += quoted;
                pos_ = quote + 1;
                if (pos_ < text_.size() && text_[pos_] == '"') {
                    field += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
        }
        while (pos_ < text_.size() && text_[pos_] != separator_ && !AtLineEnd()) field += text_[pos_++];
        return true;
    }

    std::string_view text_;
    char separator_;
    std::int64_t line_;
    std::size_t pos_ = 0;
    std::int64_t quoteLine_ = 0;
};

}  // namespace

DelimitedRows SplitDelimited(std::string_view text, char separator, std::int64_t firstLine) {
    return RowReader(text, separator, firstLine).ReadAll();
}

void AppendDelimitedField(std::string& out, std::string_view field, char separator) {
    if (field.find_first_of(std::string{separator} + "\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}
