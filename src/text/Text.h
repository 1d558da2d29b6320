#pragma once
// Byte-string text in the GBK code page, and the operations every handler
// builds its statements, settings and captions with. Lengths and positions
// count bytes; positions are 1-based and "not found" is -1.
#include <string>
#include <vector>

namespace morvane {

using Text = std::string;

int textLength(const Text &text);
Text leftText(const Text &text, int n);
Text rightText(const Text &text, int n);
Text midText(const Text &text, int start, int n);
// First match at or after `start`, stepping over double-byte characters.
int findText(const Text &text, const Text &sub, int start = 1, bool caseInsensitive = false);
// count < 0 replaces every occurrence.
Text replaceText(const Text &text, const Text &sub, const Text &replacement, int count = -1);
std::vector<Text> splitText(const Text &text, const Text &delimiter);
double toNumber(const Text &text);
Text toText(int number);
Text toText(double number);
Text textBefore(const Text &text, const Text &marker);
Text trimMarker(const Text &text, const Text &marker);
Text textBetween(const Text &text, const Text &startMarker, const Text &endMarker, bool caseInsensitive);

// A number handed to an integer parameter loses its fraction (toward zero),
// saturating at the ends of the int range.
int truncateToInt(double number);

} // namespace morvane
