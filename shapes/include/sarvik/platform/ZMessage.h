#pragma once
// Messages from the library that must reach the user (for example the
// "JPEG Error" box). The program installs a sink that shows a message box;
// without one the message is only remembered for tests.

#include <string>

using ZMessageSink = void (*)(const std::string& title, const std::string& text);

ZMessageSink ZSetMessageSink(ZMessageSink sink);
void ZShowMessage(const std::string& title, const std::string& text);
// Title and text of the message shown last (empty when none).
std::string ZLastMessageTitle();
std::string ZLastMessageText();
