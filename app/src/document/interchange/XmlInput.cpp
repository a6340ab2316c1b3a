#include "interchange/XmlInput.h"

#include <QRegularExpression>
#include <QStringConverter>
#include <QStringDecoder>

namespace interchange {

namespace {

// The XML declaration's encoding, lower case; empty when none is declared.
QByteArray declaredEncoding(const QByteArray& bytes) {
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return {};
    static const QRegularExpression kEncoding(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']+)[\"']"));
    const auto match = kEncoding.match(QString::fromLatin1(bytes.left(end)));
    return match.hasMatch() ? match.captured(1).toLower().toLatin1() : QByteArray();
}

bool isValidUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes); // the decoder works when its result is taken
    return !decoder.hasError();
}

// The text when the bytes are GB18030 that reads as Chinese; false when
// they are not GB18030 or look like Latin-1. Latin-1 text is often valid
// GB18030 too, but its accented letters stand between ASCII ones, so the
// pairs it makes end in an ASCII byte; the characters of Chinese text (GB2312,
// the bulk of GBK) have both bytes at 0xA1 and above.
bool decodeChinese(QByteArrayView bytes, QString& out) {
    qsizetype high = 0, low = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80 || i + 1 >= bytes.size()) {
            ++i;
            continue;
        }
        const auto next = static_cast<unsigned char>(bytes[i + 1]);
        if (next >= 0x80) {
            ++high;
            i += 2;
        } else {
            ++low;
            i += next >= 0x30 && next <= 0x39 ? 4 : 2;
        }
    }
    if (high == 0 || low * 3 > high)
        return false;
    QStringDecoder decoder("GB18030", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.contains(QChar::ReplacementCharacter))
        return false;
    out = std::move(text);
    return true;
}

// Four bytes each, in either order, and two bytes each, by the byte order
// mark or by how "<" comes first, as XML's rules for telling encodings apart
// have it.
struct WideForm {
    QStringDecoder::Encoding encoding;
    int mark; // bytes of the byte order mark
};

bool wideForm(const QByteArray& b, bool xml, WideForm& form) {
    auto at = [&b](qsizetype i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0x100u; };
    if (at(0) == 0xFF && at(1) == 0xFE && at(2) == 0 && at(3) == 0)
        form = {QStringDecoder::Utf32LE, 4};
    else if (at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF)
        form = {QStringDecoder::Utf32BE, 4};
    else if (at(0) == 0xFF && at(1) == 0xFE)
        form = {QStringDecoder::Utf16LE, 2};
    else if (at(0) == 0xFE && at(1) == 0xFF)
        form = {QStringDecoder::Utf16BE, 2};
    else if (!xml)
        return false;
    else if (at(0) == 0 && at(1) == 0 && at(2) == 0 && at(3) == '<')
        form = {QStringDecoder::Utf32BE, 0};
    else if (at(0) == '<' && at(1) == 0 && at(2) == 0 && at(3) == 0)
        form = {QStringDecoder::Utf32LE, 0};
    else if (at(0) == 0 && at(1) == '<' && at(2) == 0 && at(3) != 0 && at(3) < 0x100)
        form = {QStringDecoder::Utf16BE, 0};
    else if (at(0) == '<' && at(1) == 0 && at(2) != 0 && at(2) < 0x100 && at(3) == 0)
        form = {QStringDecoder::Utf16LE, 0};
    else
        return false;
    return true;
}

// Bytes in an encoding that is not declared: UTF-8 where they are valid
// UTF-8, else GB18030 where they read as Chinese, else Latin-1.
QString decodeUndeclared(QByteArrayView body, std::string* assumed) {
    if (isValidUtf8(body))
        return QString::fromUtf8(body);
    QString text;
    if (decodeChinese(body, text)) {
        if (assumed)
            *assumed = "GB18030";
        return text;
    }
    if (assumed)
        *assumed = "Latin-1";
    return QString::fromLatin1(body);
}

// XML 1.0 allows no control characters but tab, line feed and carriage return,
// not even as references; some writers put them there all the same.
bool forbidden(uint code) {
    return (code < 0x20 && code != 0x9 && code != 0xA && code != 0xD) ||
           (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF ||
           code > 0x10FFFF;
}

QString dropForbidden(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'&' && i + 2 < n && text[i + 1] == u'#') {
            qsizetype j = i + 2;
            const bool hex = j < n && (text[j] == u'x' || text[j] == u'X');
            if (hex)
                ++j;
            const qsizetype digits = j;
            while (j < n && j - digits < 10 && (hex ? text[j].isLetterOrNumber() : text[j].isDigit()))
                ++j;
            if (j < n && text[j] == u';' && j > digits) {
                bool ok = false;
                const uint code = text.mid(digits, j - digits).toUInt(&ok, hex ? 16 : 10);
                if (!ok || forbidden(code)) {
                    i = j; // the whole reference goes
                    continue;
                }
            }
        }
        const uint u = c.unicode();
        if (u < 0x20 && u != 0x9 && u != 0xA && u != 0xD)
            continue;
        out += c;
    }
    return out;
}

} // namespace

QString decodeXml(const QByteArray& bytes, std::string* assumed) {
    QString text;
    WideForm wide{};
    if (wideForm(bytes, true, wide)) {
        QStringDecoder decoder(wide.encoding, QStringDecoder::Flag::Stateless);
        text = decoder.decode(QByteArrayView(bytes).sliced(wide.mark));
    } else {
        QByteArray body = bytes;
        if (body.startsWith("\xEF\xBB\xBF"))
            body.remove(0, 3);
        const QByteArray encoding = declaredEncoding(body);
        if (encoding.isEmpty()) {
            text = decodeUndeclared(body, assumed);
        } else if (encoding == "utf-8" || encoding == "utf8") {
            text = QString::fromUtf8(body);
        } else {
            auto decoder = QStringDecoder(encoding.constData());
            text = decoder.isValid() ? decoder.decode(body) : QString::fromLatin1(body);
        }
    }
    // The text is decoded already: the declaration must not make the parser
    // decode it a second time.
    if (text.startsWith(u"<?xml")) {
        const qsizetype end = text.indexOf(u"?>");
        if (end > 0)
            text.remove(0, end + 2);
    }
    return dropForbidden(text);
}

QString decodeText(const QByteArray& bytes, std::string* assumed) {
    WideForm wide{};
    if (wideForm(bytes, false, wide)) {
        QStringDecoder decoder(wide.encoding, QStringDecoder::Flag::Stateless);
        return decoder.decode(QByteArrayView(bytes).sliced(wide.mark));
    }
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);
    return decodeUndeclared(body, assumed);
}

namespace {

// What the parser is never given: declarations of entities (whose
// expansions, nested or repeated, can make a small file enormous) and of
// attribute defaults (which repeat a text on every element), and elements
// with more attributes than any map has, which the parser would compare with
// one another pair by pair. One pass over the text, with the line of the
// first such thing.
bool checkMarkup(const QString& text, ReadError& error) {
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    int line = 1;
    auto refuse = [&](const char* reason) {
        error = {line, reason};
        return false;
    };
    // Past `end`, counting the lines on the way; false when it never comes.
    auto skipTo = [&](qsizetype& i, QStringView end) {
        const qsizetype at = QStringView(text).indexOf(end, i);
        const qsizetype stop = at < 0 ? n : at + end.size();
        for (; i < stop; ++i)
            if (s[i] == u'\n')
                ++line;
        return at >= 0;
    };
    for (qsizetype i = 0; i < n;) {
        if (s[i] == u'\n')
            ++line;
        if (s[i] != u'<') {
            ++i;
            continue;
        }
        const QStringView rest = QStringView(text).sliced(i);
        if (rest.startsWith(u"<!--")) {
            if (!skipTo(i, u"-->"))
                return true; // the parser names the fault
        } else if (rest.startsWith(u"<![CDATA[")) {
            if (!skipTo(i, u"]]>"))
                return true;
        } else if (rest.startsWith(u"<?")) {
            if (!skipTo(i, u"?>"))
                return true;
        } else if (rest.startsWith(u"<!ENTITY")) {
            return refuse("entity declarations are not accepted in a map");
        } else if (rest.startsWith(u"<!ATTLIST")) {
            return refuse("attribute declarations are not accepted in a map");
        } else if (rest.startsWith(u"<!")) {
            i += 2; // a document type: its declarations are looked at one by one
        } else {
            // A tag: its attributes are the '=' outside quoted values.
            int attributes = 0;
            QChar quote;
            for (++i; i < n; ++i) {
                const QChar c = s[i];
                if (c == u'\n')
                    ++line;
                if (!quote.isNull()) {
                    if (c == quote)
                        quote = QChar();
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (c == u'=') {
                    if (++attributes > kMostAttributes)
                        return refuse("an element has more attributes than a map can have");
                } else if (c == u'>' || c == u'<') {
                    break;
                }
            }
            if (i < n && s[i] == u'>')
                ++i;
        }
    }
    return true;
}

} // namespace

bool prepareReader(QXmlStreamReader& reader, const QString& text, ReadError& error) {
    reader.clear();
    if (!checkMarkup(text, error))
        return false;
    // The formats read use element names without prefixes; no namespace is looked up.
    reader.setNamespaceProcessing(false);
    // Only a file's own internal entities could be expanded, and only this far.
    reader.setEntityExpansionLimit(1024);
    reader.setEntityResolver(nullptr);
    reader.addData(text);
    return true;
}

ReadError xmlError(const QXmlStreamReader& reader, const std::string& fallback) {
    ReadError error;
    error.line = static_cast<int>(reader.lineNumber());
    error.reason = reader.hasError() ? toUtf8(reader.errorString()) : fallback;
    if (error.line <= 0)
        error.line = 1;
    return error;
}

std::string tidyLines(const QString& text) {
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        line = line.trimmed();
    while (!lines.isEmpty() && lines.front().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return toUtf8(lines.join(u'\n'));
}

namespace {

QString decodeEntity(const QString& name) {
    if (name.startsWith(u'#')) {
        bool ok = false;
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok || forbidden(code))
            return {};
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
    }
    static const std::pair<const char16_t*, char16_t> kNamed[] = {
        {u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'},
        {u"apos", u'\''}, {u"nbsp", u' '}, {u"copy", u'\u00A9'}};
    for (const auto& [entity, ch] : kNamed)
        if (name == QStringView(entity))
            return QString(QChar(ch));
    return QLatin1Char('&') + name + QLatin1Char(';');
}

bool breaksLine(const QString& tag) {
    static const QStringList kBreaking{"p", "br", "div", "li", "tr", "h1", "h2", "h3",
                                       "h4", "h5", "h6", "ul", "ol", "table"};
    return kBreaking.contains(tag);
}

} // namespace

std::string htmlToText(const QString& html) {
    QString out;
    const qsizetype n = html.size();
    bool inHead = false;
    for (qsizetype i = 0; i < n;) {
        const QChar c = html[i];
        if (c == u'<') {
            const qsizetype end = html.indexOf(u'>', i);
            if (end < 0)
                break;
            QString tag = html.mid(i + 1, end - i - 1).trimmed().toLower();
            const bool closing = tag.startsWith(u'/');
            if (closing)
                tag.remove(0, 1);
            static const QRegularExpression kNameEnd(QStringLiteral("[\\s/]"));
            tag = tag.section(kNameEnd, 0, 0);
            if (tag == u"head" || tag == u"style" || tag == u"script")
                inHead = !closing;
            else if (tag == u"br")
                out += u'\n';
            else if (breaksLine(tag) && !out.isEmpty() && !out.endsWith(u'\n'))
                out += u'\n'; // one paragraph ends where the next begins
            i = end + 1;
            continue;
        }
        if (inHead) {
            ++i;
            continue;
        }
        if (c == u'&') {
            // An entity's name is short: the ';' is looked for only that far.
            qsizetype end = i + 1;
            while (end < n && end - i < 12 && html[end] != u';')
                ++end;
            if (end < n && html[end] == u';') {
                out += decodeEntity(html.mid(i + 1, end - i - 1));
                i = end + 1;
                continue;
            }
        }
        // Inside HTML, runs of white space are one space.
        if (c.isSpace()) {
            if (!out.isEmpty() && !out.endsWith(u' ') && !out.endsWith(u'\n'))
                out += u' ';
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    return tidyLines(out);
}

std::string toUtf8(const QString& s) {
    const QByteArray bytes = s.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace interchange
