// Expression evaluation: operators, values of objects, New, Me and With.
#include "platform/script/Interpreter.h"
#include "platform/script/ObjectFactory.h"
#include "platform/script/ScriptClass.h"
#include "platform/script/VariantOps.h"

namespace brindle::vbs {

Variant Interpreter::Evaluate(const Expr& e, Frame& f)
{
    switch (e.kind) {
    case ExprKind::Literal: return static_cast<const LiteralExpr&>(e).value;
    case ExprKind::Name: {
        const auto& n = static_cast<const NameExpr&>(e);
        if (n.scope == NameScope::Local && !n.hasArgs) return *f.slots[n.slot];
        return EvalName(n, f, false);
    }
    case ExprKind::Member: return EvalMember(static_cast<const MemberExpr&>(e), f, InvokeKind::PropertyGet);
    case ExprKind::Index: return EvalIndex(static_cast<const IndexExpr&>(e), f, InvokeKind::PropertyGet);
    case ExprKind::Unary: {
        const auto& u = static_cast<const UnaryExpr&>(e);
        Variant v = ValueOf(*u.operand, f);
        switch (u.op) {
        case UnOp::Neg: return Negate(v);
        case UnOp::Not: return Not(v);
        case UnOp::Plus: return v;
        }
        return v;
    }
    case ExprKind::Binary: return EvalBinary(static_cast<const BinaryExpr&>(e), f);
    case ExprKind::New: return NewObject(static_cast<const NewExpr&>(e));
    case ExprKind::Me: return Variant(MeObject(f));
    }
    return Variant();
}

Variant Interpreter::EvalBinary(const BinaryExpr& b, Frame& f)
{
    if (b.op == BinOp::Is) {
        Variant l = Evaluate(*b.left, f);
        Variant r = Evaluate(*b.right, f);
        return Variant(SameObject(l, r));
    }
    Variant l = ValueOf(*b.left, f);
    Variant r = ValueOf(*b.right, f);
    const bool leftLiteral = b.left->kind == ExprKind::Literal;
    const bool rightLiteral = b.right->kind == ExprKind::Literal;
    switch (b.op) {
    case BinOp::Add: return Add(l, r);
    case BinOp::Sub: return Subtract(l, r);
    case BinOp::Mul: return Multiply(l, r);
    case BinOp::Div: return Divide(l, r);
    case BinOp::IntDiv: return IntDivide(l, r);
    case BinOp::Mod: return Modulo(l, r);
    case BinOp::Pow: return Power(l, r);
    case BinOp::Concat: return Concat(l, r);
    case BinOp::Eq: return CompareWritten(CompareOp::Eq, std::move(l), leftLiteral, std::move(r), rightLiteral);
    case BinOp::Ne: return CompareWritten(CompareOp::Ne, std::move(l), leftLiteral, std::move(r), rightLiteral);
    case BinOp::Lt: return CompareWritten(CompareOp::Lt, std::move(l), leftLiteral, std::move(r), rightLiteral);
    case BinOp::Le: return CompareWritten(CompareOp::Le, std::move(l), leftLiteral, std::move(r), rightLiteral);
    case BinOp::Gt: return CompareWritten(CompareOp::Gt, std::move(l), leftLiteral, std::move(r), rightLiteral);
    case BinOp::Ge: return CompareWritten(CompareOp::Ge, std::move(l), leftLiteral, std::move(r), rightLiteral);
    case BinOp::And: return And(l, r);
    case BinOp::Or: return Or(l, r);
    case BinOp::Xor: return Xor(l, r);
    case BinOp::Eqv: return Eqv(l, r);
    case BinOp::Imp: return Imp(l, r);
    case BinOp::Is: break;
    }
    return Variant();
}

Variant Interpreter::CompareWritten(CompareOp op, Variant l, bool leftLiteral, Variant r, bool rightLiteral)
{
    // Variables of different kinds compare by kind (a number is less than a
    // string); a literal string beside a number, or a literal number beside a
    // string, is converted when it reads as a number.
    const auto numeric = [](const Variant& v) { return v.IsNumericType() || v.IsBool(); };
    double number = 0;
    if (rightLiteral && r.IsString() && numeric(l) && ParseNumber(r.Str(), number)) r = Variant(number);
    else if (leftLiteral && l.IsString() && numeric(r) && ParseNumber(l.Str(), number)) l = Variant(number);
    else if (rightLiteral && numeric(r) && l.IsString() && ParseNumber(l.Str(), number)) l = Variant(number);
    else if (leftLiteral && numeric(l) && r.IsString() && ParseNumber(r.Str(), number)) r = Variant(number);
    return CompareValues(op, l, r);
}

Variant Interpreter::DefaultValue(const Variant& v)
{
    ArgPack none;
    Variant result = InvokeObject(v, "", InvokeKind::PropertyGet, none, nullptr);
    if (result.IsObject() && result.Object()) {
        ArgPack again;
        result = InvokeObject(result, "", InvokeKind::PropertyGet, again, nullptr);
    }
    return result;
}

bool Interpreter::Condition(const Expr& e, Frame& f)
{
    Variant v = ValueOf(e, f);
    if (v.IsBool()) return std::get<bool>(v.Value());
    if (v.IsNull()) return false;
    return ToBool(v);
}

int32_t Interpreter::Index(const Expr& e, Frame& f) { return ToLong(ValueOf(e, f)); }

Variant Interpreter::NewObject(const NewExpr& n)
{
    auto it = m_globalIndex.find(n.lname);
    if (it != m_globalIndex.end() && m_globals[it->second].cls) {
        std::shared_ptr<const ClassDef> cls = m_globals[it->second].cls;
        auto obj = ScriptClassInstance::Create(cls, m_self);
        m_instances.insert(obj.get());
        if (cls->initialize) {
            ArgPack none;
            CallProcedure(*cls->initialize, obj.get(), none);
        }
        return Variant(ObjectPtr(std::move(obj)));
    }
    if (n.lname == "regexp") return Variant(CreateRegExp());
    throw ScriptError::Naming(err::kClassNotDefined, n.name);
}

ObjectPtr Interpreter::WithObject(Frame& f)
{
    if (f.withStack.empty()) throw ScriptError(err::kObjectRequired);
    const Variant& v = f.withStack.back();
    if (!v.IsObject()) throw ScriptError(err::kObjectRequired);
    if (!v.Object()) throw ScriptError(err::kObjectVariableNotSet);
    return v.Object();
}

ObjectPtr Interpreter::MeObject(Frame& f)
{
    if (!f.me) throw ScriptError::Naming(err::kObjectRequired, "Me");
    return f.me->shared_from_this();
}

} // namespace brindle::vbs
