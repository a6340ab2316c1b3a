#pragma once
// Reading the XML of other programs safely: the bytes are decoded before the
// parser sees them (UTF-16 and UTF-32 by their byte order mark or their first
// bytes; an undeclared encoding that is not UTF-8 is taken as GB18030 where
// the bytes read as Chinese, else as Latin-1), character references the XML
// rules forbid are dropped, and a file that declares entities or attribute
// defaults, or has an element with too many attributes, is refused before the
// parser sees it. No DTD or external entity is ever loaded.

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <string>

#include "interchange/MapTree.h"

namespace interchange {

// The largest file any reader accepts, and the deepest nesting.
inline constexpr qsizetype kMostInputBytes = 256 * 1024 * 1024;

// The most attributes one element may have.
inline constexpr int kMostAttributes = 256;

// The document's text, ready for a QXmlStreamReader. `assumed`, where given,
// names the encoding taken for bytes that do not say theirs and are not
// UTF-8 ("GB18030", "Latin-1"); it is left alone otherwise.
QString decodeXml(const QByteArray& bytes, std::string* assumed = nullptr);

// A plain text's characters: UTF-16 or UTF-32 by a byte order mark, else as
// decodeXml takes bytes without a declaration.
QString decodeText(const QByteArray& bytes, std::string* assumed = nullptr);

// A reader over `text` with the bounds set; false, with the reason and its
// line in `error`, when the text holds what is never parsed.
bool prepareReader(QXmlStreamReader& reader, const QString& text, ReadError& error);

// The reader's error as a ReadError with its line.
ReadError xmlError(const QXmlStreamReader& reader, const std::string& fallback = {});

// Text of an HTML fragment: paragraphs, divisions, list items and <br> become
// line breaks, tags go, entities are decoded, blank lines at either end go.
std::string htmlToText(const QString& html);

// Trims each line and drops empty lines at both ends.
std::string tidyLines(const QString& text);

std::string toUtf8(const QString& s);
QString fromUtf8(const std::string& s);

} // namespace interchange
