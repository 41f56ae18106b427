#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <string>
#include <vector>

namespace core {

// Private to Trova's own files: the folding of texts into the words the query, the index and the search
// compare, in UTF-8.

// Appends the words of 'text', folded, each after one space.
void appendWords(QStringView text, std::string& out);
void appendWords(QByteArrayView utf8, std::string& out);
// 'text' folded, marks dropped.
std::string foldedUtf8(QStringView text);
// Adds 'value' unless it is empty or the list holds it.
void addOnce(std::vector<std::string>& list, std::string value);
// Adds each word of 'text', folded, that the list lacks.
void addWords(std::vector<std::string>& list, QStringView text);

} // namespace core
