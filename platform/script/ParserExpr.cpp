#include "platform/script/ParserImpl.h"

namespace brindle::vbs {

namespace {
// Deeper expression trees fail with 28 rather than exhausting the stack when
// evaluated.
constexpr int kMaxExprDepth = 1000;

struct Levels {
    // Binary operators from the loosest binding to the tightest (above unary minus).
    static bool Match(int level, const Token& t, BinOp& op)
    {
        auto kw = [&](Kw k) { return t.kind == Tok::Name && t.kw == k; };
        switch (level) {
        case 0: if (kw(Kw::Imp)) { op = BinOp::Imp; return true; } return false;
        case 1: if (kw(Kw::Eqv)) { op = BinOp::Eqv; return true; } return false;
        case 2: if (kw(Kw::Xor)) { op = BinOp::Xor; return true; } return false;
        case 3: if (kw(Kw::Or)) { op = BinOp::Or; return true; } return false;
        case 4: if (kw(Kw::And)) { op = BinOp::And; return true; } return false;
        // 5 is Not
        case 6:
            switch (t.kind) {
            case Tok::Eq: op = BinOp::Eq; return true;
            case Tok::Ne: op = BinOp::Ne; return true;
            case Tok::Lt: op = BinOp::Lt; return true;
            case Tok::Le: op = BinOp::Le; return true;
            case Tok::Gt: op = BinOp::Gt; return true;
            case Tok::Ge: op = BinOp::Ge; return true;
            default: if (kw(Kw::Is)) { op = BinOp::Is; return true; } return false;
            }
        case 7: if (t.kind == Tok::Amp) { op = BinOp::Concat; return true; } return false;
        case 8:
            if (t.kind == Tok::Plus) { op = BinOp::Add; return true; }
            if (t.kind == Tok::Minus) { op = BinOp::Sub; return true; }
            return false;
        case 9: if (kw(Kw::Mod)) { op = BinOp::Mod; return true; } return false;
        case 10: if (t.kind == Tok::Backslash) { op = BinOp::IntDiv; return true; } return false;
        case 11:
            if (t.kind == Tok::Star) { op = BinOp::Mul; return true; }
            if (t.kind == Tok::Slash) { op = BinOp::Div; return true; }
            return false;
        default: return false;
        }
    }
};
constexpr int kNotLevel = 5;
constexpr int kLastBinaryLevel = 11;

} // namespace

// expr := level(0)
ExprPtr Parser::ParseExpr()
{
    NestingGuard guard(*this);
    return ParseBinaryLevel(0);
}

ExprPtr Parser::MakeBinary(BinOp op, ExprPtr left, ExprPtr right, const Token& at)
{
    auto b = std::make_unique<BinaryExpr>();
    b->op = op;
    b->line = at.line;
    b->column = at.column;
    b->left = std::move(left);
    b->right = std::move(right);
    // A long chain "a & b & c ..." nests to the left; bound its depth.
    int depth = 0;
    for (const Expr* e = b.get(); e && e->kind == ExprKind::Binary; e = static_cast<const BinaryExpr*>(e)->left.get())
        if (++depth > kMaxExprDepth) Fail(err::kOutOfStackSpace);
    return b;
}

// level(n) := level(n+1) { operator(n) level(n+1) }, loosest first: Imp, Eqv,
// Xor, Or, And, (not-expr), comparison (= <> < <= > >= Is), &, + -, Mod, \, * /;
// below the last comes unary.
ExprPtr Parser::ParseBinaryLevel(int level)
{
    if (level == kNotLevel) return ParseNot();
    if (level > kLastBinaryLevel) return ParseUnary();
    ExprPtr left = ParseBinaryLevel(level + 1);
    BinOp op;
    while (Levels::Match(level, Cur(), op)) {
        Token at = Cur();
        Next();
        ExprPtr right = ParseBinaryLevel(level + 1);
        left = MakeBinary(op, std::move(left), std::move(right), at);
    }
    return left;
}

// not-expr := "Not" not-expr | comparison
ExprPtr Parser::ParseNot()
{
    if (IsKw(Kw::Not)) {
        NestingGuard guard(*this);
        auto u = std::make_unique<UnaryExpr>();
        u->line = Line();
        u->column = Cur().column;
        Next();
        u->op = UnOp::Not;
        u->operand = ParseNot();
        return u;
    }
    return ParseBinaryLevel(kNotLevel + 1);
}

// unary := "Not" comparison | power
ExprPtr Parser::ParseUnary()
{
    if (IsKw(Kw::Not)) {
        NestingGuard guard(*this);
        auto u = std::make_unique<UnaryExpr>();
        u->line = Line();
        u->column = Cur().column;
        u->op = UnOp::Not;
        Next();
        u->operand = ParseBinaryLevel(kNotLevel + 1);
        return u;
    }
    return ParsePower();
}

// power := signed { "^" signed }
// ^ chains to the left, and a sign binds tighter than it: -2 ^ 2 is 4, as
// the language evaluates it, and 2 ^ -1 is 0.5.
ExprPtr Parser::ParsePower()
{
    ExprPtr left = ParseSigned();
    while (IsTok(Tok::Caret)) {
        Token at = Cur();
        Next();
        left = MakeBinary(BinOp::Pow, std::move(left), ParseSigned(), at);
    }
    return left;
}

// signed := ("-" | "+") signed | "Not" comparison | postfix
ExprPtr Parser::ParseSigned()
{
    if (IsTok(Tok::Minus) || IsTok(Tok::Plus)) {
        NestingGuard guard(*this);
        auto u = std::make_unique<UnaryExpr>();
        u->line = Line();
        u->column = Cur().column;
        u->op = IsTok(Tok::Minus) ? UnOp::Neg : UnOp::Plus;
        Next();
        u->operand = ParseSigned();
        return u;
    }
    if (IsKw(Kw::Not)) return ParseUnary();
    return ParsePostfix();
}

// member := name   (any name, keywords too, after a ".")
std::unique_ptr<MemberExpr> Parser::MemberAfterDot()
{
    if (Cur().kind != Tok::Name) Fail(err::kExpectedIdentifier);
    auto m = std::make_unique<MemberExpr>();
    m->line = Cur().line;
    m->column = Cur().column;
    m->lname = Cur().lname;
    m->name = Cur().name;
    Next();
    return m;
}

// primary := literal | "(" expr ")" | "." member | "True" | "False" | "Empty"
//          | "Null" | "Nothing" | "Me" | "New" name | name
ExprPtr Parser::ParsePrimary()
{
    const Token& t = Cur();
    switch (t.kind) {
    case Tok::Literal: {
        auto l = std::make_unique<LiteralExpr>();
        l->line = t.line;
        l->column = t.column;
        l->value = t.value;
        Next();
        return l;
    }
    case Tok::LParen: {
        Next();
        ExprPtr e = ParseExpr();
        Expect(Tok::RParen, err::kExpectedRParen);
        e->parens = true;
        return e;
    }
    case Tok::Dot: {
        // .member inside With
        Next();
        return MemberAfterDot();
    }
    case Tok::Name: break;
    default: Fail(err::kExpectedExpression);
    }
    auto literal = [&](Variant v) {
        auto l = std::make_unique<LiteralExpr>();
        l->line = t.line;
        l->column = t.column;
        l->value = std::move(v);
        Next();
        return l;
    };
    switch (t.kw) {
    case Kw::True: return literal(Variant(true));
    case Kw::False: return literal(Variant(false));
    case Kw::Empty: return literal(Variant());
    case Kw::Null: return literal(Variant::Null());
    case Kw::Nothing: return literal(Variant::Nothing());
    case Kw::Me: {
        auto m = std::make_unique<MeExpr>();
        m->line = t.line;
        m->column = t.column;
        Next();
        return m;
    }
    case Kw::New: {
        auto n = std::make_unique<NewExpr>();
        n->line = t.line;
        n->column = t.column;
        Next();
        std::tie(n->lname, n->name) = Identifier();
        return n;
    }
    default: break;
    }
    if (!IsSoftKeyword(t.kw)) Fail(err::kExpectedExpression);
    auto n = std::make_unique<NameExpr>();
    n->line = t.line;
    n->column = t.column;
    n->lname = t.lname;
    n->name = t.name;
    Next();
    return n;
}

// postfix := primary { "." member | "(" args }   (no space before the "."; a
// literal takes neither). Stops before the group at token stopAtGroup.
ExprPtr Parser::ParsePostfix(size_t stopAtGroup)
{
    ExprPtr e = ParsePrimary();
    m_lastGroup = kNoGroup;
    // Literals take no members; everything else may: (New C).Init(1).
    if (e->kind == ExprKind::Literal) return e;
    for (;;) {
        if (IsTok(Tok::Dot) && !Cur().spaceBefore) {
            Next();
            auto m = MemberAfterDot();
            m->object = std::move(e);
            e = std::move(m);
            m_lastGroup = kNoGroup;
            continue;
        }
        if (IsTok(Tok::LParen) && m_pos != stopAtGroup) {
            size_t group = m_pos;
            Next();
            ExprList args = ParseArgs();
            if (e->kind == ExprKind::Name && !static_cast<NameExpr*>(e.get())->hasArgs) {
                auto* n = static_cast<NameExpr*>(e.get());
                n->args = std::move(args);
                n->hasArgs = true;
            } else if (e->kind == ExprKind::Member && !static_cast<MemberExpr*>(e.get())->hasArgs) {
                auto* m = static_cast<MemberExpr*>(e.get());
                m->args = std::move(args);
                m->hasArgs = true;
            } else {
                auto idx = std::make_unique<IndexExpr>();
                idx->line = e->line;
                idx->column = e->column;
                idx->base = std::move(e);
                idx->args = std::move(args);
                e = std::move(idx);
            }
            m_lastGroup = group;
            continue;
        }
        return e;
    }
}

// args := [arg { "," arg }] ")";   arg := [expr]   (an empty one is missing)
ExprList Parser::ParseArgs()
{
    NestingGuard guard(*this);
    ExprList args;
    if (Accept(Tok::RParen)) return args;
    for (;;) {
        if (IsTok(Tok::Comma) || IsTok(Tok::RParen)) args.push_back(nullptr);
        else args.push_back(ParseExpr());
        if (Accept(Tok::Comma)) continue;
        Expect(Tok::RParen, err::kExpectedRParen);
        return args;
    }
}

// bare-args := arg { "," arg }, up to the statement's end
ExprList Parser::ParseBareArgs()
{
    ExprList args;
    for (;;) {
        if (IsTok(Tok::Comma)) args.push_back(nullptr);
        else args.push_back(ParseExpr());
        if (!Accept(Tok::Comma)) break;
        if (AtStatementEnd()) {
            args.push_back(nullptr);
            break;
        }
    }
    return args;
}

} // namespace brindle::vbs
