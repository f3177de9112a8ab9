#include "platform/script/ScriptError.h"

#include <unordered_map>

namespace brindle::vbs {

std::string ErrorDescription(int number)
{
    static const std::unordered_map<int, const char*> descriptions = {
        {err::kInvalidProcedureCall, "Invalid procedure call or argument"},
        {err::kOverflow, "Overflow"},
        {err::kOutOfMemory, "Out of memory"},
        {err::kSubscriptOutOfRange, "Subscript out of range"},
        {err::kArrayFixedOrLocked, "This array is fixed or temporarily locked"},
        {err::kDivisionByZero, "Division by zero"},
        {err::kTypeMismatch, "Type mismatch"},
        {err::kOutOfStringSpace, "Out of string space"},
        {err::kOutOfStackSpace, "Out of stack space"},
        {err::kSubOrFunctionNotDefined, "Sub or Function not defined"},
        {err::kBadFileNameOrNumber, "Bad file name or number"},
        {err::kFileNotFound, "File not found"},
        {err::kBadFileMode, "Bad file mode"},
        {err::kFileAlreadyOpen, "File already open"},
        {err::kDeviceIOError, "Device I/O error"},
        {err::kFileAlreadyExists, "File already exists"},
        {err::kDiskFull, "Disk full"},
        {err::kInputPastEndOfFile, "Input past end of file"},
        {err::kPermissionDenied, "Permission denied"},
        {err::kPathFileAccessError, "Path/File access error"},
        {err::kPathNotFound, "Path not found"},
        {err::kObjectVariableNotSet, "Object variable not set"},
        {err::kForLoopNotInitialized, "For loop not initialized"},
        {err::kInvalidUseOfNull, "Invalid use of Null"},
        {err::kObjectRequired, "Object required"},
        {err::kCannotCreateObject, "ActiveX component can't create object"},
        {err::kObjectDoesNotSupport, "Object doesn't support this property or method"},
        {err::kWrongArgumentCount, "Wrong number of arguments or invalid property assignment"},
        {err::kKeyAlreadyExists, "This key is already associated with an element of this collection"},
        {err::kObjectNotACollection, "Object not a collection"},
        {err::kVariableUndefined, "Variable is undefined"},
        {err::kIllegalAssignment, "Illegal assignment"},
        {err::kClassNotDefined, "Class not defined"},
        {err::kNameRedefined, "Name redefined"},
        {err::kSyntaxError, "Syntax error"},
        {err::kExpectedLParen, "Expected '('"},
        {err::kExpectedRParen, "Expected ')'"},
        {err::kExpectedIdentifier, "Expected identifier"},
        {err::kExpectedEquals, "Expected '='"},
        {err::kExpectedIf, "Expected 'If'"},
        {err::kExpectedTo, "Expected 'To'"},
        {err::kExpectedEnd, "Expected 'End'"},
        {err::kExpectedFunction, "Expected 'Function'"},
        {err::kExpectedSub, "Expected 'Sub'"},
        {err::kExpectedThen, "Expected 'Then'"},
        {err::kExpectedWend, "Expected 'Wend'"},
        {err::kExpectedLoop, "Expected 'Loop'"},
        {err::kExpectedNext, "Expected 'Next'"},
        {err::kExpectedCase, "Expected 'Case'"},
        {err::kExpectedSelect, "Expected 'Select'"},
        {err::kExpectedExpression, "Expected expression"},
        {err::kExpectedStatement, "Expected statement"},
        {err::kExpectedEndOfStatement, "Expected end of statement"},
        {err::kExpectedInteger, "Expected integer constant"},
        {err::kExpectedWhileOrUntil, "Expected 'While', 'Until' or end of statement"},
        {err::kInvalidCharacter, "Invalid character"},
        {err::kUnterminatedString, "Unterminated string constant"},
        {err::kInvalidExitStatement, "Invalid 'exit' statement"},
        {err::kExpectedClass, "Expected 'Class'"},
        {err::kCannotUseParens, "Cannot use parentheses when calling a Sub"},
        {err::kExpectedProperty, "Expected 'Property'"},
        {err::kInterrupted, "The script was stopped"},
    };
    auto it = descriptions.find(number);
    return it != descriptions.end() ? it->second : "Unknown runtime error";
}

ScriptError::ScriptError(int number, std::string description, std::string source)
    : std::runtime_error(description.empty() ? ErrorDescription(number) : description),
      m_number(number),
      m_description(description.empty() ? ErrorDescription(number) : std::move(description)),
      m_source(source.empty() ? (number >= 1001 && number <= 1099 ? "Microsoft VBScript compilation error"
                                                                  : "Microsoft VBScript runtime error")
                              : std::move(source))
{
}

ScriptError ScriptError::Naming(int number, std::string name)
{
    ScriptError e(number);
    e.m_name = std::move(name);
    return e;
}

} // namespace brindle::vbs
