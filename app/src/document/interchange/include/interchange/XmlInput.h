#pragma once
// Reading the XML of other programs safely: the bytes are decoded before the
// parser sees them (an undeclared encoding that is not UTF-8 is taken as
// Latin-1), character references the XML rules forbid are dropped, and the
// reader expands entities only within a small bound and never loads a DTD or
// an external entity.

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <string>

#include "interchange/MapTree.h"

namespace interchange {

// The largest file any reader accepts, and the deepest nesting.
inline constexpr qsizetype kMostInputBytes = 256 * 1024 * 1024;

// The document's text, ready for a QXmlStreamReader.
QString decodeXml(const QByteArray& bytes);

// A reader over `text` with the bounds set.
void prepareReader(QXmlStreamReader& reader, const QString& text);

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
