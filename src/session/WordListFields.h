#pragma once
// The word list's fields as its files spell them. All texts are UTF-8; every mark
// looked for is ASCII, so no character is ever cut.
//
// Tab-separated files hold HTML, which Anki shows as it is. The dictionary's fields are
// HTML already and only lose what would break the line or start a quoted field: a tab
// becomes "&#9;", a double quote "&quot;", a line break "<br>", and in the examples each
// "/ " break "<br>" too. The note is the user's plain text and is escaped whole.

#include <string>
#include <string_view>

// --- to the files ---
std::string HtmlFromDictionaryField(std::string_view text, bool isExamples);
std::string HtmlFromNote(std::string_view text);
// For CSV: each "/ " break of the examples, and each line break of their own, as LF.
std::string ExamplesWithLineBreaks(std::string_view examples);

// --- from the files ---
// "<br>" ("<br/>", "<br />", in any case) back to "/ " in the examples and to "\n"
// elsewhere; "&#9;" and "&quot;" back to their characters. A line break of a quoted
// field is a "/ " break in the examples and stays one elsewhere.
std::string DictionaryFieldFromHtml(std::string_view html, bool isExamples);
// "<br>" back to "\n", and the entities decoded: &amp; &lt; &gt; &quot; &apos; &nbsp;
// and numeric ones (&#9;, &#x3042;). An entity naming no character stays as it is.
std::string NoteFromHtml(std::string_view html);
// For CSV and plain-text files: each line break (CR LF, CR or LF) as a "/ " break.
std::string ExamplesFromLineBreaks(std::string_view text);
