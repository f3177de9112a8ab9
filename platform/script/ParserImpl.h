#pragma once

// The parser's internals, shared by its statement, expression and name
// resolution files.
#include "platform/script/Lexer.h"
#include "platform/script/Parser.h"
#include "platform/script/ScriptError.h"

#include <initializer_list>
#include <limits>
#include <utility>

namespace brindle::vbs {

// Gives a piece of parser state a value for the guard's lifetime and puts the
// old value back however the scope is left, by return or by a thrown error.
template <class T>
class ScopedState {
public:
    ScopedState(T& state, T value) : m_state(state), m_saved(std::exchange(state, std::move(value))) {}
    ~ScopedState() { m_state = std::move(m_saved); }
    ScopedState(const ScopedState&) = delete;
    ScopedState& operator=(const ScopedState&) = delete;

private:
    T& m_state;
    T m_saved;
};

class Parser {
public:
    Parser(std::vector<Token> tokens, ParseScope scope) : m_t(std::move(tokens)), m_scope(scope) {}

    std::unique_ptr<Program> ParseProgram();
    ExprPtr ParseWholeExpression();

private:
    friend struct NestingGuard;
    static constexpr size_t kNoGroup = std::numeric_limits<size_t>::max();

    // ----- tokens
    const Token& Cur() const { return m_t[m_pos]; }
    const Token& Peek(size_t n = 1) const { return m_t[std::min(m_pos + n, m_t.size() - 1)]; }
    void Next() { if (m_pos + 1 < m_t.size()) ++m_pos; }
    bool IsKw(Kw kw) const { return Cur().kind == Tok::Name && Cur().kw == kw; }
    bool IsTok(Tok k) const { return Cur().kind == k; }
    bool Accept(Kw kw) { if (IsKw(kw)) { Next(); return true; } return false; }
    bool Accept(Tok k) { if (IsTok(k)) { Next(); return true; } return false; }
    void Expect(Kw kw, int number) { if (!Accept(kw)) Fail(number); }
    void Expect(Tok k, int number) { if (!Accept(k)) Fail(number); }
    bool IsIdentifier() const { return Cur().kind == Tok::Name && IsSoftKeyword(Cur().kw); }
    std::pair<std::string, std::string> Identifier(); // (lower, as written)
    [[noreturn]] void Fail(int number) const { Fail(number, Cur()); }
    [[noreturn]] void Fail(int number, const Token& at) const;
    bool AtStatementEnd() const;
    void EndStatement();
    void SkipSeparators();

    // ----- statements (Parser.cpp)
    void ParseTopLevel(Program& program);
    Block ParseBlock();
    StmtPtr ParseStatement(bool& declarationOnly);
    StmtPtr ParseSimpleStatement();
    StmtPtr ParseIf();
    StmtPtr ParseSelect();
    StmtPtr ParseFor();
    StmtPtr ParseDo();
    StmtPtr ParseWhile();
    StmtPtr ParseWith();
    StmtPtr ParseExit();
    StmtPtr ParseOnError();
    StmtPtr ParseReDim();
    StmtPtr ParseErase();
    StmtPtr ParseConst(bool isPublic);
    void ParseDim(bool isPublic);
    StmtPtr ParseAssignOrCall();
    void ParseProcedure(bool isPublic, bool isDefault, ClassDef* owner, Program* program);
    void ParseClass(Program& program);
    void AddDeclaration(VarDecl decl);
    int Line() const { return Cur().line; }

    // ----- expressions (ParserExpr.cpp)
    ExprPtr ParseExpr();
    ExprPtr ParseBinaryLevel(int level);
    ExprPtr ParseNot();
    ExprPtr ParseUnary();
    ExprPtr ParsePower();
    ExprPtr ParseSigned();
    ExprPtr ParsePostfix(size_t stopAtGroup = kNoGroup);
    ExprPtr ParsePrimary();
    // The member named after a "." (the current token), the object left unset.
    std::unique_ptr<MemberExpr> MemberAfterDot();
    ExprList ParseArgs(); // after '(' up to and including ')'
    ExprList ParseBareArgs(); // a call statement's arguments without parentheses
    ExprPtr MakeBinary(BinOp op, ExprPtr left, ExprPtr right, const Token& at);

    // ----- names (Resolver.cpp)
    void ResolveProcedure(Procedure& proc, ClassDef* owner);

    std::vector<Token> m_t;
    size_t m_pos = 0;
    ParseScope m_scope;
    Program* m_program = nullptr;
    Procedure* m_proc = nullptr;  // the procedure being parsed
    ClassDef* m_class = nullptr;  // the class being parsed
    bool m_singleLineIf = false;  // inside a one-line If: Else ends a statement
    int m_doDepth = 0;
    int m_forDepth = 0;
    int m_nesting = 0;
    size_t m_lastGroup = kNoGroup; // token index of the last argument group ParsePostfix took
};

// Bounds the parser's recursion: deeply nested code fails with 28 rather than
// overflowing the stack.
struct NestingGuard {
    explicit NestingGuard(Parser& p);
    ~NestingGuard() { --m_p.m_nesting; }
    Parser& m_p;
};

// Names inside procedures resolve to slots; used for Execute and Eval code too.
void ResolveBlock(Block& block, Procedure* proc, const ClassDef* owner, bool allocate);
void ResolveExpr(Expr* e, Procedure* proc, const ClassDef* owner, bool allocate);

} // namespace brindle::vbs
