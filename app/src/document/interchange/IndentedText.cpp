#include <QStringDecoder>

#include <algorithm>

#include "interchange/MapFields.h"
#include "interchange/Outline.h"
#include "interchange/XmlInput.h"

namespace interchange {

std::string decodePlainText(const QByteArray& bytes, std::string* assumed) {
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(body);
    // UTF-16 text has NULs, or else a byte order mark that is not UTF-8.
    if (!utf8.hasError() && !body.startsWith("\xFF\xFE") && !body.startsWith("\xFE\xFF"))
        return std::string(body.data(), static_cast<std::size_t>(body.size()));
    return toUtf8(decodeText(bytes, assumed));
}

bool readTextFile(const QByteArray& bytes, std::string& text, std::string* assumed, ReadError& error) {
    text = decodePlainText(bytes, assumed);
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        error = {static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n')) + 1,
                 "not a text file"};
        return false;
    }
    // Lines end in LF, CR LF or CR alone (older Macs, some clipboards).
    if (text.find('\r') != std::string::npos) {
        std::string lf;
        lf.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\r')
                lf += text[i];
            else if (i + 1 >= text.size() || text[i + 1] != '\n')
                lf += '\n';
        }
        text = std::move(lf);
    }
    return true;
}

bool readIndentedText(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    MapDocument doc;
    std::string decoded;
    if (!readTextFile(bytes, decoded, &doc.encoding, error))
        return false;
    const QString text = fromUtf8(decoded);
    decoded = std::string();
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
        // Past the deepest level an outline holds, lines stop moving right
        // (writeMapFiles refuses such a map; this keeps the output bounded).
        out += std::string(static_cast<std::size_t>(std::min(depth, kMostOutlineDepth)), '\t') + text + '\n';
    });
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
