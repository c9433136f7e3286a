#pragma once
// The data file's path as the settings keep it: code page 932 text, or, for a path
// the code page cannot spell ("Téléchargements") or spells as another character (〜
// reads back as ～, ¥ as a backslash), a file: address in UTF-8 escapes, so the file
// is found again whatever its name.

#include <QString>

#include <string>

std::string StoredPath(const QString& path);
QString PathFromStored(const std::string& stored);

// The data file the settings file `iniFileName` remembers; empty when it names none.
QString RememberedDataFile(const QString& iniFileName);
