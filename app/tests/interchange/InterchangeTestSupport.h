#pragma once
// Shared by the interchange tests: the sample files and small readers.

#include <QByteArray>
#include <QFile>

#include <string>

#include <gtest/gtest.h>

#include "interchange/Interchange.h"

namespace ictest {

inline std::string samplePath(const std::string& name) {
    return std::string(TAVLO_INTERCHANGE_DATA) + "/" + name;
}

inline QByteArray sample(const std::string& name) {
    QFile file(QString::fromStdString(samplePath(name)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// The sample read as the format its extension names; fails the test if it
// cannot be read.
inline interchange::MapDocument read(const std::string& name) {
    interchange::MapDocument doc;
    interchange::ReadError error;
    EXPECT_TRUE(interchange::readMap(sample(name), interchange::formatOfPath(name), doc, error))
        << name << ": line " << error.line << ": " << error.reason;
    return doc;
}

inline interchange::ReadError refusal(const QByteArray& bytes, interchange::Format format) {
    interchange::MapDocument doc;
    interchange::ReadError error;
    EXPECT_FALSE(interchange::readMap(bytes, format, doc, error));
    return error;
}

inline const interchange::MapNode& node(const interchange::MapSheet& sheet, int i) {
    return sheet.nodes.at(static_cast<std::size_t>(i));
}

// "text(child, child(...))": the shape of a tree, for comparing two trees.
inline std::string outline(const interchange::MapSheet& sheet) {
    std::string out;
    std::vector<std::pair<int, bool>> stack;
    for (auto it = sheet.roots.rbegin(); it != sheet.roots.rend(); ++it)
        stack.emplace_back(*it, false);
    while (!stack.empty()) {
        auto [i, closing] = stack.back();
        stack.pop_back();
        if (closing) {
            out += ")";
            continue;
        }
        const auto& n = node(sheet, i);
        out += "[" + n.text + (n.folded ? "+" : "") + "]";
        if (n.children.empty())
            continue;
        out += "(";
        stack.emplace_back(i, true);
        for (auto it = n.children.rbegin(); it != n.children.rend(); ++it)
            stack.emplace_back(*it, false);
    }
    return out;
}

} // namespace ictest
