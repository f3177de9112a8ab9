#pragma once

#include "platform/Export.h"
#include "platform/script/ScriptString.h"
#include "platform/script/Variant.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brindle::vbs {

enum class Tok : uint8_t {
    End, NewLine, Colon, Name, Literal, Dot, Comma, LParen, RParen,
    Plus, Minus, Star, Slash, Backslash, Caret, Amp, Eq, Ne, Lt, Le, Gt, Ge,
};

// Keywords; a Name token carries one when its text is one (names after a dot
// and [bracketed] names never do).
enum class Kw : uint8_t {
    None, And, ByRef, ByVal, Call, Case, Class, Const, Default, Dim, Do, Each, Else, ElseIf,
    Empty, End, Eqv, Erase, Error, Exit, Explicit, False, For, Function, Get, GoTo, If, Imp,
    In, Is, Let, Loop, Me, Mod, New, Next, Not, Nothing, Null, On, Option, Or, Preserve,
    Private, Property, Public, ReDim, Resume, Select, Set, Step, Sub, Then, To, True, Until,
    Wend, While, With, Xor,
};

struct Token {
    Tok kind = Tok::End;
    Kw kw = Kw::None;
    bool spaceBefore = false; // whitespace (or a line start) right before the token
    int line = 1;             // 1-based
    int column = 1;           // 1-based, in UTF-16 code units
    std::string lname;        // Name: lower-case ASCII folding of the name
    std::string name;         // Name: as written (UTF-8)
    Variant value;            // Literal: the number, string or date
};

// Keywords that may still name a variable, procedure or member.
bool IsSoftKeyword(Kw kw);

// Splits source code into tokens. Comments and line continuations vanish;
// line ends become NewLine tokens and the list always ends with NewLine, End.
// Throws ScriptError (1032 invalid character, 1033 unterminated string, 1002)
// with the line and column.
BRINDLEKIT_API std::vector<Token> Tokenize(VbStringView source);

} // namespace brindle::vbs
