// Statement execution: blocks, control flow, error handling (On Error).
#include "platform/script/ErrObject.h"
#include "platform/script/Interpreter.h"
#include "platform/script/ScriptClass.h"
#include "platform/script/VariantOps.h"

namespace brindle::vbs {

bool Interpreter::HandleError(ScriptError& e, const Stmt& s, Frame& f)
{
    if (e.Line() == 0) e.SetPosition(s.line, 0);
    if (!f.resumeNext || e.Number() == err::kInterrupted) return false;
    m_err->Set(e);
    return true;
}

Flow Interpreter::ExecBlock(const Block& block, Frame& f)
{
    for (const StmtPtr& s : block) {
        if (--m_pollCountdown <= 0) Poll();
        try {
            if (!m_terminate.empty()) RunTerminates();
            Flow flow = Exec(*s, f);
            if (flow != Flow::Normal) return flow;
        } catch (ScriptError& e) {
            if (!HandleError(e, *s, f)) throw;
        } catch (const std::bad_alloc&) {
            ScriptError e(err::kOutOfMemory);
            if (!HandleError(e, *s, f)) throw e;
        } catch (const std::length_error&) {
            ScriptError e(err::kOutOfStringSpace);
            if (!HandleError(e, *s, f)) throw e;
        }
    }
    return Flow::Normal;
}

Flow Interpreter::Exec(const Stmt& s, Frame& f)
{
    switch (s.kind) {
    case StmtKind::Assign: {
        const auto& a = static_cast<const AssignStmt&>(s);
        Assign(*a.target, Evaluate(*a.value, f), f, a.isSet);
        return Flow::Normal;
    }
    case StmtKind::Call: {
        const Expr& callee = *static_cast<const CallStmt&>(s).callee;
        switch (callee.kind) {
        case ExprKind::Name: EvalName(static_cast<const NameExpr&>(callee), f, true); break;
        case ExprKind::Member: EvalMember(static_cast<const MemberExpr&>(callee), f, InvokeKind::Method); break;
        case ExprKind::Index: EvalIndex(static_cast<const IndexExpr&>(callee), f, InvokeKind::Method); break;
        default: throw ScriptError(err::kTypeMismatch);
        }
        return Flow::Normal;
    }
    case StmtKind::If: return ExecIf(static_cast<const IfStmt&>(s), f);
    case StmtKind::Select: return ExecSelect(static_cast<const SelectStmt&>(s), f);
    case StmtKind::For: return ExecFor(static_cast<const ForStmt&>(s), f);
    case StmtKind::ForEach: return ExecForEach(static_cast<const ForEachStmt&>(s), f);
    case StmtKind::Do: return ExecDo(static_cast<const DoStmt&>(s), f);
    case StmtKind::With: return ExecWith(static_cast<const WithStmt&>(s), f);
    case StmtKind::Exit:
        switch (static_cast<const ExitStmt&>(s).what) {
        case ExitKind::Do: return Flow::ExitDo;
        case ExitKind::For: return Flow::ExitFor;
        case ExitKind::Procedure: return Flow::ExitProc;
        }
        return Flow::Normal;
    case StmtKind::OnError:
        f.resumeNext = static_cast<const OnErrorStmt&>(s).resumeNext;
        m_err->Clear();
        return Flow::Normal;
    case StmtKind::ReDim: ExecReDim(static_cast<const ReDimStmt&>(s), f); return Flow::Normal;
    case StmtKind::Erase: ExecErase(static_cast<const EraseStmt&>(s), f); return Flow::Normal;
    case StmtKind::Const: ExecConst(static_cast<const ConstStmt&>(s), f); return Flow::Normal;
    }
    return Flow::Normal;
}

Flow Interpreter::ExecIf(const IfStmt& s, Frame& f)
{
    for (const auto& branch : s.branches) {
        bool taken;
        try {
            taken = Condition(*branch.condition, f);
        } catch (ScriptError& e) {
            // Under On Error Resume Next a failing condition goes on with the
            // next statement, which is the first of the Then block.
            if (!HandleError(e, s, f)) throw;
            taken = true;
        }
        if (taken) return ExecBlock(branch.body, f);
    }
    return ExecBlock(s.elseBody, f);
}

Flow Interpreter::ExecSelect(const SelectStmt& s, Frame& f)
{
    Variant subject = ValueOf(*s.subject, f);
    auto truth = [](const Variant& v) { return v.IsBool() && std::get<bool>(v.Value()); };
    for (const CaseClause& clause : s.cases) {
        for (const CaseItem& item : clause.items) {
            bool match = false;
            switch (item.kind) {
            case CaseItem::Kind::Value:
                match = truth(CompareWritten(CompareOp::Eq, subject, false, ValueOf(*item.a, f),
                                             item.a->kind == ExprKind::Literal));
                break;
            case CaseItem::Kind::Range: {
                Variant lo = ValueOf(*item.a, f);
                Variant hi = ValueOf(*item.b, f);
                match = truth(CompareWritten(CompareOp::Ge, subject, false, lo, item.a->kind == ExprKind::Literal)) &&
                        truth(CompareWritten(CompareOp::Le, subject, false, hi, item.b->kind == ExprKind::Literal));
                break;
            }
            case CaseItem::Kind::Is: {
                CompareOp op = CompareOp::Eq;
                switch (item.op) {
                case BinOp::Ne: op = CompareOp::Ne; break;
                case BinOp::Lt: op = CompareOp::Lt; break;
                case BinOp::Le: op = CompareOp::Le; break;
                case BinOp::Gt: op = CompareOp::Gt; break;
                case BinOp::Ge: op = CompareOp::Ge; break;
                default: break;
                }
                match = truth(CompareWritten(op, subject, false, ValueOf(*item.a, f), item.a->kind == ExprKind::Literal));
                break;
            }
            }
            if (match) return ExecBlock(clause.body, f);
        }
    }
    return s.hasElse ? ExecBlock(s.elseBody, f) : Flow::Normal;
}

Flow Interpreter::ExecFor(const ForStmt& s, Frame& f)
{
    const auto& counterName = static_cast<const NameExpr&>(*s.counter);
    Variant from = ValueOf(*s.from, f);
    Variant to = ValueOf(*s.to, f);
    Variant step = s.step ? ValueOf(*s.step, f) : Variant(int16_t(1));
    double stepValue = ToDouble(step);
    ToDouble(from);
    ToDouble(to);
    Variant* counter = VarRef(counterName, f, true);
    if (!counter) throw ScriptError(err::kIllegalAssignment);
    *counter = from;
    bool down = stepValue < 0;
    for (;;) {
        Ordering o = Compare(*counter, to);
        if (down ? o == Ordering::Less : o == Ordering::Greater) break;
        if (--m_pollCountdown <= 0) Poll();
        Flow flow = ExecBlock(s.body, f);
        if (flow == Flow::ExitFor) break;
        if (flow != Flow::Normal) return flow;
        counter = VarRef(counterName, f, true);
        *counter = Add(*counter, step);
    }
    return Flow::Normal;
}

Flow Interpreter::ExecForEach(const ForEachStmt& s, Frame& f)
{
    Variant collection = Evaluate(*s.collection, f);
    std::vector<Variant> items;
    if (collection.IsArray()) {
        items = std::move(collection.Array().Items());
    } else if (collection.IsObject() && collection.Object()) {
        items = collection.Object()->Enumerate();
    } else {
        throw ScriptError(err::kObjectNotACollection);
    }
    const auto& name = static_cast<const NameExpr&>(*s.variable);
    for (Variant& item : items) {
        if (--m_pollCountdown <= 0) Poll();
        Variant* var = VarRef(name, f, true);
        if (!var) throw ScriptError(err::kIllegalAssignment);
        *var = std::move(item);
        Flow flow = ExecBlock(s.body, f);
        if (flow == Flow::ExitFor) break;
        if (flow != Flow::Normal) return flow;
    }
    return Flow::Normal;
}

Flow Interpreter::ExecDo(const DoStmt& s, Frame& f)
{
    for (;;) {
        if (--m_pollCountdown <= 0) Poll();
        if (s.condition && s.testFirst && Condition(*s.condition, f) == s.isUntil) break;
        Flow flow = ExecBlock(s.body, f);
        if (flow == Flow::ExitDo && !s.isWend) break;
        if (flow != Flow::Normal) return flow;
        if (s.condition && !s.testFirst && Condition(*s.condition, f) == s.isUntil) break;
    }
    return Flow::Normal;
}

Flow Interpreter::ExecWith(const WithStmt& s, Frame& f)
{
    f.withStack.push_back(Evaluate(*s.object, f));
    struct Pop {
        Frame& f;
        ~Pop() { f.withStack.pop_back(); }
    } pop{f};
    return ExecBlock(s.body, f);
}

void Interpreter::ExecReDim(const ReDimStmt& s, Frame& f)
{
    for (const auto& item : s.items) {
        std::vector<SafeArray::Bound> bounds;
        for (const auto& b : item.bounds) bounds.push_back({0, ToLong(ValueOf(*b, f))});
        // ReDim declares the variable when there is none, Option Explicit or not.
        bool explicitVars = f.explicitVars;
        f.explicitVars = false;
        Variant* var = nullptr;
        try {
            var = VarRef(static_cast<const NameExpr&>(*item.target), f, true);
        } catch (...) {
            f.explicitVars = explicitVars;
            throw;
        }
        f.explicitVars = explicitVars;
        if (!var) throw ScriptError(err::kIllegalAssignment);
        if (var->IsArray()) {
            if (var->Array().IsFixed()) throw ScriptError(err::kArrayFixedOrLocked);
            var->Array().Redim(std::move(bounds), s.preserve);
        } else {
            *var = Variant(SafeArray(std::move(bounds)));
        }
    }
}

void Interpreter::ExecErase(const EraseStmt& s, Frame& f)
{
    for (const auto& target : s.targets) {
        Variant* var = target->kind == ExprKind::Name
                           ? VarRef(static_cast<const NameExpr&>(*target), f, false)
                           : nullptr;
        if (!var || !var->IsArray()) throw ScriptError(err::kTypeMismatch);
        var->Array().Erase();
    }
}

void Interpreter::ExecConst(const ConstStmt& s, Frame& f)
{
    for (const auto& item : s.items) {
        const auto& n = static_cast<const NameExpr&>(*item.target);
        Variant value = ValueOf(*item.value, f);
        if (n.scope == NameScope::Local) {
            *f.slots[n.slot] = std::move(value);
        } else {
            GlobalEntry& g = m_globals[GlobalSlot(n.lname)];
            g.isConst = true;
            g.value = std::move(value);
        }
    }
}

} // namespace brindle::vbs
