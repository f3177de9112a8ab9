#pragma once

#include "platform/Export.h"
#include "platform/script/ScriptString.h"

#include <stdexcept>
#include <string>

namespace brindle::vbs {

// The language's error numbers (the Err.Number values scripts see).
namespace err {
constexpr int kInvalidProcedureCall = 5;
constexpr int kOverflow = 6;
constexpr int kOutOfMemory = 7;
constexpr int kSubscriptOutOfRange = 9;
constexpr int kArrayFixedOrLocked = 10;
constexpr int kDivisionByZero = 11;
constexpr int kTypeMismatch = 13;
constexpr int kOutOfStringSpace = 14;
constexpr int kOutOfStackSpace = 28;
constexpr int kSubOrFunctionNotDefined = 35;
constexpr int kBadFileNameOrNumber = 52;
constexpr int kFileNotFound = 53;
constexpr int kBadFileMode = 54;
constexpr int kFileAlreadyOpen = 55;
constexpr int kDeviceIOError = 57;
constexpr int kFileAlreadyExists = 58;
constexpr int kDiskFull = 61;
constexpr int kInputPastEndOfFile = 62;
constexpr int kPermissionDenied = 70;
constexpr int kPathFileAccessError = 75;
constexpr int kPathNotFound = 76;
constexpr int kObjectVariableNotSet = 91;
constexpr int kForLoopNotInitialized = 92;
constexpr int kInvalidUseOfNull = 94;
constexpr int kKeyAlreadyExists = 457;
constexpr int kObjectRequired = 424;
constexpr int kCannotCreateObject = 429;
constexpr int kObjectDoesNotSupport = 438;
constexpr int kWrongArgumentCount = 450;
constexpr int kObjectNotACollection = 451;
constexpr int kVariableUndefined = 500;
constexpr int kIllegalAssignment = 501;
constexpr int kClassNotDefined = 506;
constexpr int kNameRedefined = 1041;
constexpr int kSyntaxError = 1002;
constexpr int kExpectedLParen = 1005;
constexpr int kExpectedRParen = 1006;
constexpr int kExpectedIdentifier = 1010;
constexpr int kExpectedEquals = 1011;
constexpr int kExpectedIf = 1012;
constexpr int kExpectedTo = 1013;
constexpr int kExpectedEnd = 1014;
constexpr int kExpectedFunction = 1015;
constexpr int kExpectedSub = 1016;
constexpr int kExpectedThen = 1017;
constexpr int kExpectedWend = 1018;
constexpr int kExpectedLoop = 1019;
constexpr int kExpectedNext = 1020;
constexpr int kExpectedCase = 1021;
constexpr int kExpectedSelect = 1022;
constexpr int kExpectedExpression = 1023;
constexpr int kExpectedStatement = 1024;
constexpr int kExpectedEndOfStatement = 1025;
constexpr int kExpectedInteger = 1026;
constexpr int kExpectedWhileOrUntil = 1027;
constexpr int kInvalidCharacter = 1032;
constexpr int kUnterminatedString = 1033;
constexpr int kInvalidExitStatement = 1039;
constexpr int kExpectedClass = 1043;
constexpr int kCannotUseParens = 1044;
constexpr int kExpectedProperty = 1048;
constexpr int kInterrupted = 1000001; // not the language's: the host stopped the run
} // namespace err

// The description the language gives an error number ("Type mismatch"); an
// unknown number gives "Unknown runtime error".
BRINDLEKIT_API std::string ErrorDescription(int number);

// A syntax or run-time error. line is 1-based within the code given to the
// engine (0 when no statement was running); column is 1-based or 0.
class BRINDLEKIT_API ScriptError : public std::runtime_error {
public:
    // The description defaults to the number's own.
    explicit ScriptError(int number, std::string description = std::string(),
                         std::string source = std::string());
    // An error about a name (a variable, procedure, object or class): Err sees
    // the number's own description, the host's message also names it.
    static ScriptError Naming(int number, std::string name);

    int Number() const { return m_number; }
    // What Err.Description gives.
    const std::string& Description() const { return m_description; }
    // What the host shows: the description and the name it concerns, if any
    // ("Variable is undefined: 'x'").
    std::string Message() const { return m_name.empty() ? m_description : m_description + ": '" + m_name + "'"; }
    // "Microsoft VBScript runtime error", "Microsoft VBScript compilation error",
    // or an object's own source (an Err.Raise source).
    const std::string& Source() const { return m_source; }
    int Line() const { return m_line; }
    int Column() const { return m_column; }
    bool IsSyntaxError() const { return m_number >= 1001 && m_number <= 1099; }
    void SetPosition(int line, int column) { m_line = line; m_column = column; }

private:
    int m_number;
    std::string m_description;
    std::string m_source;
    std::string m_name;
    int m_line = 0;
    int m_column = 0;
};

} // namespace brindle::vbs
