#include "platform/script/ParserImpl.h"
#include "platform/script/VariantOps.h"

namespace brindle::vbs {

namespace {
constexpr int kMaxNesting = 200;
}

NestingGuard::NestingGuard(Parser& p) : m_p(p)
{
    if (++m_p.m_nesting > kMaxNesting) {
        --m_p.m_nesting;
        m_p.Fail(err::kOutOfStackSpace);
    }
}

void Parser::Fail(int number, const Token& at) const
{
    ScriptError e(number);
    e.SetPosition(at.line, at.column);
    throw e;
}

std::pair<std::string, std::string> Parser::Identifier()
{
    if (!IsIdentifier()) Fail(err::kExpectedIdentifier);
    std::pair<std::string, std::string> r{Cur().lname, Cur().name};
    Next();
    return r;
}

bool Parser::AtStatementEnd() const
{
    switch (Cur().kind) {
    case Tok::NewLine:
    case Tok::Colon:
    case Tok::End: return true;
    default: return m_singleLineIf && IsKw(Kw::Else);
    }
}

void Parser::EndStatement()
{
    if (!AtStatementEnd()) Fail(err::kExpectedEndOfStatement);
}

void Parser::SkipSeparators()
{
    while (IsTok(Tok::NewLine) || IsTok(Tok::Colon)) Next();
}

// program := top-level, its names then resolved.
std::unique_ptr<Program> Parser::ParseProgram()
{
    auto program = std::make_unique<Program>();
    m_program = program.get();
    ParseTopLevel(*program);
    ResolveBlock(program->body, const_cast<Procedure*>(m_scope.procedure), m_scope.owner, false);
    return program;
}

// whole-expression := [sep] expr [sep] end-of-text   (Eval's text)
ExprPtr Parser::ParseWholeExpression()
{
    SkipSeparators();
    ExprPtr e = ParseExpr();
    SkipSeparators();
    if (!IsTok(Tok::End)) Fail(err::kExpectedEndOfStatement);
    ResolveExpr(e.get(), const_cast<Procedure*>(m_scope.procedure), m_scope.owner, false);
    return e;
}

// top-level := { item sep }
// item      := "Option" "Explicit" | class | [access] procedure
//            | access (const | dim-list) | statement
// access    := "Public" | "Private";   sep := newline | ":"
void Parser::ParseTopLevel(Program& program)
{
    for (;;) {
        SkipSeparators();
        if (IsTok(Tok::End)) return;
        if (IsKw(Kw::Option)) {
            Next();
            Expect(Kw::Explicit, err::kExpectedIdentifier);
            program.explicitVars = true;
            EndStatement();
            continue;
        }
        if (IsKw(Kw::Class)) {
            ParseClass(program);
            continue;
        }
        bool isPublic = true, isDefault = false, hadModifier = false;
        if (IsKw(Kw::Public) || IsKw(Kw::Private)) {
            isPublic = IsKw(Kw::Public);
            hadModifier = true;
            Next();
        }
        if (IsKw(Kw::Sub) || IsKw(Kw::Function) || IsKw(Kw::Property)) {
            ParseProcedure(isPublic, isDefault, nullptr, &program);
            continue;
        }
        if (hadModifier) {
            if (IsKw(Kw::Const)) {
                program.body.push_back(ParseConst(isPublic));
            } else {
                ParseDim(isPublic);
            }
            EndStatement();
            continue;
        }
        bool declarationOnly = false;
        StmtPtr s = ParseStatement(declarationOnly);
        if (s) program.body.push_back(std::move(s));
        EndStatement();
    }
}

// block := { statement sep }
// Statements up to (not including) the keyword that ends the block (End, Else,
// ElseIf, Case, Loop, Next, Wend); the caller checks that keyword. Stops at the
// end of the code too.
Block Parser::ParseBlock()
{
    NestingGuard guard(*this);
    Block block;
    for (;;) {
        SkipSeparators();
        if (IsTok(Tok::End)) return block;
        if (Cur().kind == Tok::Name) {
            switch (Cur().kw) {
            case Kw::End:
            case Kw::Else:
            case Kw::ElseIf:
            case Kw::Case:
            case Kw::Loop:
            case Kw::Next:
            case Kw::Wend: return block;
            default: break;
            }
        }
        bool declarationOnly = false;
        StmtPtr s = ParseStatement(declarationOnly);
        if (s) block.push_back(std::move(s));
        EndStatement();
    }
}

// statement := "Dim" dim-list | const | if | select | for | do | while | with
//            | exit | on-error | redim | erase | "Stop" | simple-statement
// nullptr for a declaration (Dim) and for Stop, which run nothing.
StmtPtr Parser::ParseStatement(bool& declarationOnly)
{
    if (Cur().kind == Tok::Name) {
        switch (Cur().kw) {
        case Kw::Dim:
            Next();
            ParseDim(true);
            declarationOnly = true;
            return nullptr;
        case Kw::Const: return ParseConst(true);
        case Kw::If: return ParseIf();
        case Kw::Select: return ParseSelect();
        case Kw::For: return ParseFor();
        case Kw::Do: return ParseDo();
        case Kw::While: return ParseWhile();
        case Kw::With: return ParseWith();
        case Kw::Exit: return ParseExit();
        case Kw::On: return ParseOnError();
        case Kw::ReDim: return ParseReDim();
        case Kw::Erase: return ParseErase();
        case Kw::None:
            if (Cur().lname == "stop" && (Peek().kind == Tok::NewLine || Peek().kind == Tok::Colon ||
                                          Peek().kind == Tok::End)) {
                Next(); // Stop: there is no debugger to stop in
                declarationOnly = true;
                return nullptr;
            }
            break;
        case Kw::Sub:
        case Kw::Function:
        case Kw::Class:
        case Kw::Option:
        case Kw::Public:
        case Kw::Private: Fail(err::kExpectedStatement);
        default: break;
        }
    }
    return ParseSimpleStatement();
}

// simple-statement := "Set" postfix "=" expr | "Let" postfix "=" expr
//                   | "Call" postfix | assign-or-call
// What may follow Then on one line, besides the block statements.
StmtPtr Parser::ParseSimpleStatement()
{
    int line = Line();
    if (Accept(Kw::Set)) {
        auto s = std::make_unique<AssignStmt>();
        s->line = line;
        s->isSet = true;
        s->target = ParsePostfix();
        Expect(Tok::Eq, err::kExpectedEquals);
        s->value = ParseExpr();
        return s;
    }
    if (Accept(Kw::Let)) {
        auto s = std::make_unique<AssignStmt>();
        s->line = line;
        s->target = ParsePostfix();
        Expect(Tok::Eq, err::kExpectedEquals);
        s->value = ParseExpr();
        return s;
    }
    if (Accept(Kw::Call)) {
        auto s = std::make_unique<CallStmt>();
        s->line = line;
        if (!IsIdentifier() && !IsTok(Tok::Dot) && !IsKw(Kw::Me)) Fail(err::kExpectedIdentifier);
        s->callee = ParsePostfix();
        if (s->callee->kind == ExprKind::Name) static_cast<NameExpr*>(s->callee.get())->callee = true;
        return s;
    }
    if (IsIdentifier() || IsTok(Tok::Dot) || IsKw(Kw::Me)) return ParseAssignOrCall();
    Fail(err::kExpectedStatement);
}

// assign-or-call := postfix "=" expr | postfix [bare-args]
StmtPtr Parser::ParseAssignOrCall()
{
    int line = Line();
    size_t start = m_pos;
    ExprPtr lhs = ParsePostfix();
    if (Accept(Tok::Eq)) {
        auto s = std::make_unique<AssignStmt>();
        s->line = line;
        s->target = std::move(lhs);
        s->value = ParseExpr();
        return s;
    }
    auto s = std::make_unique<CallStmt>();
    s->line = line;
    if (AtStatementEnd()) {
        // "f(x)" as a statement: the parentheses belong to the argument, so x
        // goes by value. They cannot hold a list: "f(a, b)" needs Call.
        ExprList* args = nullptr;
        if (lhs->kind == ExprKind::Name) args = &static_cast<NameExpr*>(lhs.get())->args;
        if (lhs->kind == ExprKind::Member) args = &static_cast<MemberExpr*>(lhs.get())->args;
        if (args && args->size() > 1 && m_lastGroup != kNoGroup) Fail(err::kCannotUseParens, m_t[m_lastGroup]);
        if (args && args->size() == 1 && (*args)[0]) (*args)[0]->parens = true;
    } else {
        if (m_lastGroup != kNoGroup) {
            // "f (a) + 1, b": the group starts the first argument.
            size_t group = m_lastGroup;
            m_pos = start;
            lhs = ParsePostfix(group);
        }
        ExprList args = ParseBareArgs();
        if (lhs->kind == ExprKind::Name) {
            auto* n = static_cast<NameExpr*>(lhs.get());
            n->args = std::move(args);
            n->hasArgs = true;
        } else if (lhs->kind == ExprKind::Member) {
            auto* m = static_cast<MemberExpr*>(lhs.get());
            m->args = std::move(args);
            m->hasArgs = true;
        } else {
            auto idx = std::make_unique<IndexExpr>();
            idx->line = lhs->line;
            idx->base = std::move(lhs);
            idx->args = std::move(args);
            lhs = std::move(idx);
        }
    }
    if (lhs->kind == ExprKind::Name) static_cast<NameExpr*>(lhs.get())->callee = true;
    else if (lhs->kind != ExprKind::Member && lhs->kind != ExprKind::Index) Fail(err::kExpectedStatement);
    s->callee = std::move(lhs);
    return s;
}

// if       := "If" expr "Then" one-line ["Else" one-line] ["End" "If"]
//           | "If" expr "Then" newline block { "ElseIf" expr "Then" block }
//             ["Else" block] "End" "If"
// one-line := { statement | ":" }, ended by the line's end or by Else
StmtPtr Parser::ParseIf()
{
    auto s = std::make_unique<IfStmt>();
    s->line = Line();
    Next();
    IfStmt::Branch first;
    first.condition = ParseExpr();
    Expect(Kw::Then, err::kExpectedThen);
    if (!IsTok(Tok::NewLine) && !IsTok(Tok::End)) {
        // One-line If: statements separated by ':' up to the line end.
        const ScopedState singleLine(m_singleLineIf, true);
        auto oneLine = [&](Block& into) {
            for (;;) {
                if (IsTok(Tok::Colon)) { Next(); continue; }
                if (AtStatementEnd()) break;
                bool declarationOnly = false;
                StmtPtr st = ParseStatement(declarationOnly);
                if (st) into.push_back(std::move(st));
                if (!AtStatementEnd()) Fail(err::kExpectedEndOfStatement);
            }
        };
        oneLine(first.body);
        s->branches.push_back(std::move(first));
        if (Accept(Kw::Else)) oneLine(s->elseBody);
        // "If a Then b End If" on one line is accepted as written.
        if (IsKw(Kw::End) && Peek().kind == Tok::Name && Peek().kw == Kw::If) { Next(); Next(); }
        return s;
    }
    const ScopedState inBlock(m_singleLineIf, false);
    first.body = ParseBlock();
    s->branches.push_back(std::move(first));
    for (;;) {
        if (IsKw(Kw::ElseIf)) {
            Next();
            IfStmt::Branch b;
            b.condition = ParseExpr();
            Expect(Kw::Then, err::kExpectedThen);
            b.body = ParseBlock();
            s->branches.push_back(std::move(b));
            continue;
        }
        if (IsKw(Kw::Else)) {
            Next();
            s->elseBody = ParseBlock();
        }
        break;
    }
    Expect(Kw::End, err::kExpectedEnd);
    Expect(Kw::If, err::kExpectedIf);
    return s;
}

// select    := "Select" "Case" expr sep { "Case" case-item { "," case-item } block }
//              ["Case" "Else" block] "End" "Select"
// case-item := "Is" comparison-operator expr | expr ["To" expr]
StmtPtr Parser::ParseSelect()
{
    auto s = std::make_unique<SelectStmt>();
    s->line = Line();
    Next();
    Expect(Kw::Case, err::kExpectedCase);
    s->subject = ParseExpr();
    EndStatement();
    const ScopedState inBlock(m_singleLineIf, false);
    SkipSeparators();
    while (IsKw(Kw::Case)) {
        Next();
        if (Accept(Kw::Else)) {
            s->hasElse = true;
            s->elseBody = ParseBlock();
            break;
        }
        CaseClause clause;
        do {
            CaseItem item;
            if (Accept(Kw::Is)) {
                item.kind = CaseItem::Kind::Is;
                switch (Cur().kind) {
                case Tok::Eq: item.op = BinOp::Eq; break;
                case Tok::Ne: item.op = BinOp::Ne; break;
                case Tok::Lt: item.op = BinOp::Lt; break;
                case Tok::Le: item.op = BinOp::Le; break;
                case Tok::Gt: item.op = BinOp::Gt; break;
                case Tok::Ge: item.op = BinOp::Ge; break;
                default: Fail(err::kSyntaxError);
                }
                Next();
                item.a = ParseExpr();
            } else {
                item.a = ParseExpr();
                if (Accept(Kw::To)) {
                    item.kind = CaseItem::Kind::Range;
                    item.b = ParseExpr();
                }
            }
            clause.items.push_back(std::move(item));
        } while (Accept(Tok::Comma));
        clause.body = ParseBlock();
        s->cases.push_back(std::move(clause));
    }
    Expect(Kw::End, err::kExpectedEnd);
    Expect(Kw::Select, err::kExpectedSelect);
    return s;
}

// for := "For" "Each" name "In" expr sep block "Next" [name]
//      | "For" name "=" expr "To" expr ["Step" expr] sep block "Next" [name]
StmtPtr Parser::ParseFor()
{
    int line = Line();
    Next();
    const ScopedState inBlock(m_singleLineIf, false);
    const ScopedState inFor(m_forDepth, m_forDepth + 1);
    StmtPtr result;
    if (Accept(Kw::Each)) {
        auto s = std::make_unique<ForEachStmt>();
        s->line = line;
        if (!IsIdentifier()) Fail(err::kExpectedIdentifier);
        s->variable = ParsePrimary();
        Expect(Kw::In, err::kSyntaxError);
        s->collection = ParseExpr();
        EndStatement();
        s->body = ParseBlock();
        result = std::move(s);
    } else {
        auto s = std::make_unique<ForStmt>();
        s->line = line;
        if (!IsIdentifier()) Fail(err::kExpectedIdentifier);
        s->counter = ParsePrimary();
        Expect(Tok::Eq, err::kExpectedEquals);
        s->from = ParseExpr();
        Expect(Kw::To, err::kExpectedTo);
        s->to = ParseExpr();
        if (Accept(Kw::Step)) s->step = ParseExpr();
        EndStatement();
        s->body = ParseBlock();
        result = std::move(s);
    }
    Expect(Kw::Next, err::kExpectedNext);
    if (IsIdentifier()) Next(); // "Next i"
    return result;
}

// do := "Do" [("While" | "Until") expr] sep block "Loop" [("While" | "Until") expr]
// (a condition at one end at most)
StmtPtr Parser::ParseDo()
{
    auto s = std::make_unique<DoStmt>();
    s->line = Line();
    Next();
    auto condition = [&] {
        if (IsKw(Kw::While) || IsKw(Kw::Until)) {
            s->isUntil = IsKw(Kw::Until);
            Next();
            s->condition = ParseExpr();
        }
    };
    condition();
    if (!s->condition && !AtStatementEnd()) Fail(err::kExpectedWhileOrUntil);
    const ScopedState inBlock(m_singleLineIf, false);
    const ScopedState inDo(m_doDepth, m_doDepth + 1);
    s->body = ParseBlock();
    Expect(Kw::Loop, err::kExpectedLoop);
    if (!s->condition) {
        condition();
        if (s->condition) s->testFirst = false;
    }
    return s;
}

// while := "While" expr sep block "Wend"
StmtPtr Parser::ParseWhile()
{
    auto s = std::make_unique<DoStmt>();
    s->line = Line();
    s->isWend = true;
    Next();
    s->condition = ParseExpr();
    EndStatement();
    const ScopedState inBlock(m_singleLineIf, false);
    s->body = ParseBlock();
    Expect(Kw::Wend, err::kExpectedWend);
    return s;
}

// with := "With" expr sep block "End" "With"
StmtPtr Parser::ParseWith()
{
    auto s = std::make_unique<WithStmt>();
    s->line = Line();
    Next();
    s->object = ParseExpr();
    EndStatement();
    const ScopedState inBlock(m_singleLineIf, false);
    s->body = ParseBlock();
    Expect(Kw::End, err::kExpectedEnd);
    Expect(Kw::With, err::kSyntaxError);
    return s;
}

// exit := "Exit" ("Do" | "For" | "Function" | "Sub" | "Property"), inside what it leaves
StmtPtr Parser::ParseExit()
{
    auto s = std::make_unique<ExitStmt>();
    s->line = Line();
    size_t at = m_pos;
    Next();
    bool ok = false;
    if (IsKw(Kw::Do)) { s->what = ExitKind::Do; ok = m_doDepth > 0; }
    else if (IsKw(Kw::For)) { s->what = ExitKind::For; ok = m_forDepth > 0; }
    else if (IsKw(Kw::Function)) { s->what = ExitKind::Procedure; ok = m_proc && m_proc->kind == ProcKind::Function; }
    else if (IsKw(Kw::Sub)) { s->what = ExitKind::Procedure; ok = m_proc && m_proc->kind == ProcKind::Sub; }
    else if (IsKw(Kw::Property)) {
        s->what = ExitKind::Procedure;
        ok = m_proc && m_proc->kind != ProcKind::Sub && m_proc->kind != ProcKind::Function;
    } else Fail(err::kSyntaxError);
    if (!ok) {
        m_pos = at;
        Fail(err::kInvalidExitStatement);
    }
    Next();
    return s;
}

// on-error := "On" "Error" ("Resume" "Next" | "GoTo" number)
StmtPtr Parser::ParseOnError()
{
    auto s = std::make_unique<OnErrorStmt>();
    s->line = Line();
    Next();
    Expect(Kw::Error, err::kSyntaxError);
    if (Accept(Kw::Resume)) {
        Expect(Kw::Next, err::kSyntaxError);
        s->resumeNext = true;
    } else if (Accept(Kw::GoTo)) {
        if (!IsTok(Tok::Literal) || !Cur().value.IsNumericType()) Fail(err::kSyntaxError);
        Next();
    } else {
        Fail(err::kSyntaxError);
    }
    return s;
}

// redim := "ReDim" ["Preserve"] name "(" expr { "," expr } ")" { "," name "(" ... ")" }
StmtPtr Parser::ParseReDim()
{
    auto s = std::make_unique<ReDimStmt>();
    s->line = Line();
    Next();
    s->preserve = Accept(Kw::Preserve);
    do {
        ReDimStmt::Item item;
        if (!IsIdentifier()) Fail(err::kExpectedIdentifier);
        auto name = std::make_unique<NameExpr>();
        name->line = Line();
        name->column = Cur().column;
        name->lname = Cur().lname;
        name->name = Cur().name;
        Next();
        Expect(Tok::LParen, err::kExpectedLParen);
        do {
            item.bounds.push_back(ParseExpr());
        } while (Accept(Tok::Comma));
        Expect(Tok::RParen, err::kExpectedRParen);
        item.target = std::move(name);
        s->items.push_back(std::move(item));
    } while (Accept(Tok::Comma));
    return s;
}

// erase := "Erase" postfix { "," postfix }
StmtPtr Parser::ParseErase()
{
    auto s = std::make_unique<EraseStmt>();
    s->line = Line();
    Next();
    do {
        if (!IsIdentifier()) Fail(err::kExpectedIdentifier);
        s->targets.push_back(ParsePostfix());
    } while (Accept(Tok::Comma));
    return s;
}

namespace {
// A constant's value when it is a literal (maybe negated), known before the code runs.
std::optional<Variant> LiteralValue(const Expr& e)
{
    if (e.kind == ExprKind::Literal) return static_cast<const LiteralExpr&>(e).value;
    if (e.kind == ExprKind::Unary) {
        const auto& u = static_cast<const UnaryExpr&>(e);
        if (u.operand->kind != ExprKind::Literal || u.op == UnOp::Not) return std::nullopt;
        const Variant& v = static_cast<const LiteralExpr&>(*u.operand).value;
        if (!v.IsNumericType()) return std::nullopt;
        return u.op == UnOp::Neg ? Negate(v) : v;
    }
    return std::nullopt;
}
} // namespace

// const := "Const" name "=" expr { "," name "=" expr }
StmtPtr Parser::ParseConst(bool isPublic)
{
    auto s = std::make_unique<ConstStmt>();
    s->line = Line();
    Next();
    do {
        VarDecl decl;
        decl.line = Line();
        auto name = std::make_unique<NameExpr>();
        name->line = Line();
        name->column = Cur().column;
        std::tie(decl.lname, decl.name) = Identifier();
        name->lname = decl.lname;
        name->name = decl.name;
        Expect(Tok::Eq, err::kExpectedEquals);
        ConstStmt::Item item;
        item.value = ParseExpr();
        decl.isConst = true;
        decl.isPublic = isPublic;
        decl.constValue = LiteralValue(*item.value);
        item.target = std::move(name);
        AddDeclaration(std::move(decl));
        s->items.push_back(std::move(item));
    } while (Accept(Tok::Comma));
    return s;
}

// dim-list := dim-item { "," dim-item }   (after Dim, Public or Private)
// dim-item := name ["(" [integer { "," integer }] ")"]
void Parser::ParseDim(bool isPublic)
{
    do {
        VarDecl decl;
        decl.line = Line();
        decl.isPublic = isPublic;
        std::tie(decl.lname, decl.name) = Identifier();
        if (Accept(Tok::LParen)) {
            decl.isArray = true;
            if (!IsTok(Tok::RParen)) {
                do {
                    if (!IsTok(Tok::Literal) || !Cur().value.IsNumericType()) Fail(err::kExpectedInteger);
                    const auto& v = Cur().value.Value();
                    int32_t bound = std::holds_alternative<int16_t>(v) ? std::get<int16_t>(v)
                                  : std::holds_alternative<int32_t>(v) ? std::get<int32_t>(v)
                                                                        : -2;
                    if (bound < 0) Fail(err::kExpectedInteger);
                    decl.upperBounds.push_back(bound);
                    Next();
                } while (Accept(Tok::Comma));
            }
            Expect(Tok::RParen, err::kExpectedRParen);
        }
        AddDeclaration(std::move(decl));
    } while (Accept(Tok::Comma));
}

void Parser::AddDeclaration(VarDecl decl)
{
    if (m_proc) {
        auto it = m_proc->localIndex.find(decl.lname);
        if (it != m_proc->localIndex.end()) {
            ScriptError e(err::kNameRedefined);
            e.SetPosition(decl.line, 0);
            throw e;
        }
        m_proc->localIndex.emplace(decl.lname, static_cast<int>(m_proc->locals.size()));
        m_proc->locals.push_back(std::move(decl));
    } else if (m_class) {
        m_class->fields.push_back(std::move(decl));
    } else {
        m_program->globals.push_back(std::move(decl));
    }
}

// procedure := kind name ["(" [param { "," param }] ")"] sep block "End" kind's first word
// kind      := "Sub" | "Function" | "Property" ("Get" | "Let" | "Set")
// param     := ["ByVal" | "ByRef"] name ["(" ")"]
void Parser::ParseProcedure(bool isPublic, bool isDefault, ClassDef* owner, Program* program)
{
    auto proc = std::make_unique<Procedure>();
    proc->line = Line();
    proc->isPublic = isPublic;
    proc->isDefault = isDefault;
    proc->owner = owner;
    proc->explicitVars = m_program->explicitVars;
    Kw endKw = Cur().kw;
    int expectEnd = err::kExpectedSub;
    if (IsKw(Kw::Sub)) {
        proc->kind = ProcKind::Sub;
    } else if (IsKw(Kw::Function)) {
        proc->kind = ProcKind::Function;
        expectEnd = err::kExpectedFunction;
    } else {
        expectEnd = err::kExpectedProperty;
        if (!owner) Fail(err::kExpectedStatement);
        Next();
        if (IsKw(Kw::Get)) proc->kind = ProcKind::PropertyGet;
        else if (IsKw(Kw::Let)) proc->kind = ProcKind::PropertyLet;
        else if (IsKw(Kw::Set)) proc->kind = ProcKind::PropertySet;
        else Fail(err::kSyntaxError);
    }
    Next();
    std::tie(proc->lname, proc->name) = Identifier();
    if (Accept(Tok::LParen)) {
        if (!IsTok(Tok::RParen)) {
            do {
                Param p;
                if (Accept(Kw::ByVal)) p.byRef = false;
                else Accept(Kw::ByRef);
                std::tie(p.lname, p.name) = Identifier();
                if (Accept(Tok::LParen)) Expect(Tok::RParen, err::kExpectedRParen);
                if (proc->localIndex.count(p.lname)) Fail(err::kNameRedefined);
                proc->localIndex.emplace(p.lname, static_cast<int>(proc->locals.size()));
                VarDecl decl;
                decl.lname = p.lname;
                decl.name = p.name;
                proc->locals.push_back(std::move(decl));
                proc->params.push_back(std::move(p));
            } while (Accept(Tok::Comma));
        }
        Expect(Tok::RParen, err::kExpectedRParen);
    }
    if ((proc->kind == ProcKind::PropertyLet || proc->kind == ProcKind::PropertySet) && proc->params.empty())
        Fail(err::kExpectedLParen);
    EndStatement();
    if (proc->kind == ProcKind::Function || proc->kind == ProcKind::PropertyGet) {
        proc->resultSlot = static_cast<int>(proc->locals.size());
        VarDecl result;
        result.lname = proc->lname;
        result.name = proc->name;
        proc->locals.push_back(std::move(result));
    }
    {
        const ScopedState inProc(m_proc, proc.get());
        const ScopedState doDepth(m_doDepth, 0);
        const ScopedState forDepth(m_forDepth, 0);
        proc->body = ParseBlock();
    }
    Expect(Kw::End, err::kExpectedEnd);
    if (!IsKw(endKw)) Fail(expectEnd);
    Next();
    if (owner) {
        owner->procs.push_back(std::move(proc));
    } else {
        ResolveProcedure(*proc, nullptr);
        program->procs.push_back(std::move(proc));
    }
}

// class  := "Class" name sep { member sep } "End" "Class"
// member := "Dim" dim-list | ["Public" ["Default"] | "Private"] (procedure | dim-list)
void Parser::ParseClass(Program& program)
{
    Next();
    auto cls = std::make_shared<ClassDef>();
    std::tie(cls->lname, cls->name) = Identifier();
    EndStatement();
    m_class = cls.get();
    for (;;) {
        SkipSeparators();
        if (IsTok(Tok::End)) Fail(err::kExpectedEnd);
        if (IsKw(Kw::End)) break;
        bool isPublic = true, isDefault = false;
        if (IsKw(Kw::Public) || IsKw(Kw::Private)) {
            isPublic = IsKw(Kw::Public);
            Next();
            if (isPublic && Accept(Kw::Default)) isDefault = true;
        } else if (IsKw(Kw::Dim)) {
            Next();
            ParseDim(true);
            EndStatement();
            continue;
        }
        if (IsKw(Kw::Sub) || IsKw(Kw::Function) || IsKw(Kw::Property)) {
            ParseProcedure(isPublic, isDefault, cls.get(), &program);
        } else if (IsKw(Kw::Const)) {
            Fail(err::kExpectedStatement);
        } else {
            ParseDim(isPublic);
        }
        EndStatement();
    }
    Next();
    Expect(Kw::Class, err::kExpectedClass);
    m_class = nullptr;

    // The member table: variables, then procedures by name.
    for (size_t i = 0; i < cls->fields.size(); ++i) {
        ClassMember& m = cls->members[cls->fields[i].lname];
        m.field = static_cast<int>(i);
        m.isPublic = cls->fields[i].isPublic;
    }
    Procedure* defaultProc = nullptr;
    for (auto& p : cls->procs) {
        ClassMember& m = cls->members[p->lname];
        if (m.field >= 0) Fail(err::kNameRedefined);
        bool first = !m.get && !m.let && !m.set && !m.method;
        m.isPublic = first ? p->isPublic : (m.isPublic || p->isPublic);
        switch (p->kind) {
        case ProcKind::PropertyGet: m.get = p.get(); break;
        case ProcKind::PropertyLet: m.let = p.get(); break;
        case ProcKind::PropertySet: m.set = p.get(); break;
        default: m.method = p.get(); break;
        }
        if (p->isDefault) defaultProc = p.get();
        if (p->kind == ProcKind::Sub && p->params.empty()) {
            if (p->lname == "class_initialize") cls->initialize = p.get();
            if (p->lname == "class_terminate") cls->terminate = p.get();
        }
    }
    if (defaultProc) cls->defaultMember = &cls->members[defaultProc->lname];
    for (auto& p : cls->procs) ResolveProcedure(*p, cls.get());
    program.classes.push_back(std::move(cls));
}

std::unique_ptr<Program> ParseProgram(VbStringView source, ParseScope scope)
{
    return Parser(Tokenize(source), scope).ParseProgram();
}

ExprPtr ParseExpression(VbStringView source, ParseScope scope)
{
    return Parser(Tokenize(source), scope).ParseWholeExpression();
}

} // namespace brindle::vbs
