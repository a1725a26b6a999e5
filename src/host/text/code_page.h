// Text in the Windows-1250 code page, the single-byte "ANSI" code page of
// Romanian (and other Central European) Windows, in which older group lists
// were saved by Windows editors. Inside the program every text is UTF-8; such
// text is converted once, as it is read.
//
// Windows-1250 has the Romanian letters only in their cedilla forms (Ş ş Ţ ţ,
// besides Ă ă Â â Î î). Its five bytes that stand for no character (0x81,
// 0x83, 0x88, 0x90, 0x98) become U+FFFD, the replacement character, so that
// no byte is dropped unseen and none becomes a control character.
#pragma once

#include <string>
#include <string_view>

#include "host/text/text_stream.h"

namespace lotrano {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The Unicode character of one Windows-1250 byte.
char32_t windows1250Character(unsigned char byte);

// The UTF-8 form of a Windows-1250 text. ASCII bytes stay as they are.
std::string windows1250ToUtf8(std::string_view bytes);

// Appends the UTF-8 bytes of one Unicode character (at most U+10FFFF).
void appendUtf8(std::string& text, char32_t character);

// A source whose lines are those of `source`, each converted from
// Windows-1250 to UTF-8; it keeps the source's name.
LineSource windows1250Lines(LineSource source);

}  // namespace lotrano
