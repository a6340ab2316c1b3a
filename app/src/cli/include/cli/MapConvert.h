#pragma once
// --convert between .tvx and other programs' maps, chosen by the extensions.

#include <iosfwd>
#include <string>

// True when either file is not a .tvx, so that convertMap does the work.
bool isMapConversion(const std::string& in, const std::string& out);

// Reads IN and writes OUT (.tvx .mm .xmind .opml .md .txt .km .mmd .puml);
// from a .tvx to another format, page `page` (from 1; 0 for the first, or for
// .xmind every page) is written. Prints what was left out to `out`; on failure one line
// to `err`, status 2 and nothing written.
int convertMap(const std::string& in, const std::string& outPath, int page, std::ostream& out,
               std::ostream& err);
