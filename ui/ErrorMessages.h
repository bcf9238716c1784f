#pragma once
#include <string>

// Error numbers and their texts. 0 is success and -2 a cancel by the user;
// neither has a text. Every other number is a failure whose text comes
// from the resource library in the system's language.

// The Japanese string ID of the number's text (English is the next ID):
// 0 for 0 and -2, the unknown-number text for a number without its own.
unsigned ErrorTextId(int number);

// Empty for 0 and -2, and for every number when the resource library is missing.
std::wstring GetErrorText(int number);

// "Error No.%04d": Error No.0915, Error No.-041.
std::wstring ErrorHeading(int number);

// "Error No.0915 - " and the text; the heading alone without a text.
std::wstring ErrorLine(int number);

// The line that says an output was made without the input's cover, which
// the output's format cannot hold.
std::wstring CoverLeftOutText(const std::wstring& input);
