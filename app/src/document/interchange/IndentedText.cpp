#include <QStringDecoder>

#include "interchange/MapFields.h"
#include "interchange/Outline.h"
#include "interchange/XmlInput.h"

namespace interchange {

std::string decodePlainText(const QByteArray& bytes) {
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(body);
    if (!utf8.hasError())
        return std::string(body.constData(), static_cast<std::size_t>(body.size()));
    QStringDecoder gb("GB18030");
    if (gb.isValid())
        return toUtf8(gb.decode(body));
    return toUtf8(QString::fromLatin1(body));
}

bool readIndentedText(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) {
        error = {static_cast<int>(bytes.left(nul).count('\n')) + 1, "not a text file"};
        return false;
    }
    const QString text = fromUtf8(decodePlainText(bytes));
    const QStringList lines = text.split(u'\n');
    struct Line {
        int tabs = 0;
        int spaces = 0;
        QString text;
    };
    std::vector<Line> kept;
    int unit = 0; // the steady number of spaces one level takes
    for (const QString& raw : lines) {
        Line line;
        qsizetype i = 0;
        for (; i < raw.size() && (raw[i] == u'\t' || raw[i] == u' '); ++i)
            (raw[i] == u'\t' ? line.tabs : line.spaces)++;
        line.text = raw.mid(i).trimmed();
        if (line.text.isEmpty())
            continue;
        if (line.spaces > 0 && (unit == 0 || line.spaces < unit))
            unit = line.spaces;
        kept.push_back(line);
    }
    MapDocument doc;
    doc.sheets.emplace_back();
    MapSheet& sheet = doc.sheets.back();
    std::vector<int> open; // the node open at each depth
    for (const Line& line : kept) {
        int depth = line.tabs + (unit > 0 ? line.spaces / unit : 0);
        // A line may go at most one level deeper than the line before.
        depth = std::min(depth, static_cast<int>(open.size()));
        open.resize(static_cast<std::size_t>(depth));
        const int parent = open.empty() ? -1 : open.back();
        open.push_back(sheet.add(parent, labelFromLine(toUtf8(line.text))));
    }
    out = std::move(doc);
    return true;
}

QByteArray writeIndentedText(const MapSheet& sheet) {
    std::string out;
    walkSheet(sheet, [&](int index, int depth) {
        std::string text = sheet.nodes[static_cast<std::size_t>(index)].text;
        // One node is one line.
        for (char& c : text)
            if (c == '\n' || c == '\r' || c == '\t')
                c = ' ';
        // White space before the text would count as depth, and a line of
        // nothing but white space as no node at all.
        text = toUtf8(fromUtf8(text).trimmed());
        if (text.empty())
            text = std::string(kEmptyLabel);
        out += std::string(static_cast<std::size_t>(depth), '\t') + text + '\n';
    });
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
