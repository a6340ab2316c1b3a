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

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes); // the decoder works when its result is taken
    return !decoder.hasError();
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

QString decodeXml(const QByteArray& bytes) {
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    const QByteArray encoding = declaredEncoding(body);
    QString text;
    if (encoding.isEmpty() || encoding == "utf-8" || encoding == "utf8") {
        text = isValidUtf8(body) || !encoding.isEmpty() ? QString::fromUtf8(body)
                                                        : QString::fromLatin1(body);
    } else {
        auto decoder = QStringDecoder(encoding.constData());
        text = decoder.isValid() ? decoder.decode(body) : QString::fromLatin1(body);
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

void prepareReader(QXmlStreamReader& reader, const QString& text) {
    reader.clear();
    // The formats read use element names without prefixes; no namespace is looked up.
    reader.setNamespaceProcessing(false);
    // Only a file's own internal entities could be expanded, and only this far.
    reader.setEntityExpansionLimit(1024);
    reader.setEntityResolver(nullptr);
    reader.addData(text);
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
            tag = tag.section(QRegularExpression(QStringLiteral("[\\s/]")), 0, 0);
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
            const qsizetype end = html.indexOf(u';', i);
            if (end > i && end - i < 12) {
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
