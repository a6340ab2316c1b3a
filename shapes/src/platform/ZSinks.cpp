#include "sarvik/platform/ZCursor.h"
#include "sarvik/platform/ZMessage.h"

namespace {
ZCursorSink g_cursorSink = nullptr;
ZCursor g_lastCursor = ZCursor::Arrow;
ZMessageSink g_messageSink = nullptr;
std::string g_lastTitle;
std::string g_lastText;
} // namespace

ZCursorSink ZSetCursorSink(ZCursorSink sink) {
    const ZCursorSink previous = g_cursorSink;
    g_cursorSink = sink;
    return previous;
}

void ZSetCursor(ZCursor cursor) {
    g_lastCursor = cursor;
    if (g_cursorSink)
        g_cursorSink(cursor);
}

ZCursor ZLastCursor() { return g_lastCursor; }

ZMessageSink ZSetMessageSink(ZMessageSink sink) {
    const ZMessageSink previous = g_messageSink;
    g_messageSink = sink;
    return previous;
}

void ZShowMessage(const std::string& title, const std::string& text) {
    g_lastTitle = title;
    g_lastText = text;
    if (g_messageSink)
        g_messageSink(title, text);
}

std::string ZLastMessageTitle() { return g_lastTitle; }
std::string ZLastMessageText() { return g_lastText; }
