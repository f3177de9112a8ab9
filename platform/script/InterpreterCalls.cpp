// Names, calls and assignment: variable lookup, procedure and built-in calls,
// object members, array elements.
#include "platform/script/ErrObject.h"
#include "platform/script/Interpreter.h"
#include "platform/script/ScriptClass.h"
#include "platform/script/VariantOps.h"

#include <array>

namespace brindle::vbs {

namespace {

// Array indices without a heap allocation for the usual one to eight dimensions.
class Indices {
public:
    void Push(int32_t v)
    {
        if (m_count < m_small.size()) m_small[m_count] = v;
        else {
            if (m_more.empty()) m_more.assign(m_small.begin(), m_small.end());
            m_more.push_back(v);
        }
        ++m_count;
    }
    std::span<const int32_t> Span() const
    {
        return m_count <= m_small.size() ? std::span<const int32_t>(m_small.data(), m_count)
                                         : std::span<const int32_t>(m_more);
    }

private:
    std::array<int32_t, 8> m_small{};
    std::vector<int32_t> m_more;
    size_t m_count = 0;
};

bool IsScriptObject(const Variant& v) { return dynamic_cast<ScriptClassInstance*>(v.Object().get()) != nullptr; }

void RequireObject(const Variant& v)
{
    if (!v.IsObject()) throw ScriptError(err::kObjectRequired);
    if (!v.Object()) throw ScriptError(err::kObjectVariableNotSet);
}

} // namespace

void Interpreter::Undefined(const NameExpr& n, bool called)
{
    if (called)
        throw ScriptError::Naming(err::kTypeMismatch, n.name);
    throw ScriptError::Naming(err::kVariableUndefined, n.name);
}

Interpreter::Found Interpreter::Lookup(const NameExpr& n, Frame& f)
{
    DynamicCache& c = n.cache;
    if (c.kind != DynamicKind::Global && c.generation != m_generation) {
        auto it = m_globalIndex.find(n.lname);
        if (it != m_globalIndex.end()) {
            c.kind = DynamicKind::Global;
            c.global = it->second;
        } else {
            c.generation = m_generation;
            if (c.kind == DynamicKind::Unknown) {
                if (n.lname == "err") {
                    c.kind = DynamicKind::Err;
                } else if ((c.builtin = FindBuiltin(n.lname))) {
                    c.kind = DynamicKind::Builtin;
                } else if (auto k = FindConstant(n.lname)) {
                    c.kind = DynamicKind::Constant;
                    c.constant = std::move(*k);
                } else {
                    c.kind = DynamicKind::Missing;
                }
            }
        }
    }
    Found r{Found::Kind::Unknown};
    switch (c.kind) {
    case DynamicKind::Global: {
        GlobalEntry& g = m_globals[c.global];
        if (g.proc) {
            r.kind = Found::Kind::Proc;
            r.proc = g.proc;
        } else {
            r.kind = g.isConst ? Found::Kind::Const : Found::Kind::Var;
            r.var = &g.value;
        }
        return r;
    }
    case DynamicKind::Builtin: r.kind = Found::Kind::Builtin; r.builtin = c.builtin; return r;
    case DynamicKind::Constant: r.kind = Found::Kind::Constant; r.constant = &c.constant; return r;
    case DynamicKind::Err: r.kind = Found::Kind::Err; return r;
    default: break;
    }
    if (f.proc && n.slot >= 0 && !f.explicitVars) {
        r.kind = Found::Kind::Var;
        r.var = f.slots[n.slot];
    }
    return r;
}

Variant* Interpreter::VarRef(const NameExpr& n, Frame& f, bool create)
{
    switch (n.scope) {
    case NameScope::Local: return f.slots[n.slot];
    case NameScope::Field: return &f.me->Fields()[n.slot];
    case NameScope::ClassProc: return nullptr;
    case NameScope::Dynamic: break;
    }
    Found r = Lookup(n, f);
    if (r.kind == Found::Kind::Var) return r.var;
    if (r.kind == Found::Kind::Unknown && create) return CreateVar(n, f);
    return nullptr;
}

Variant* Interpreter::CreateVar(const NameExpr& n, Frame& f)
{
    if (f.explicitVars) Undefined(n, false);
    if (f.proc && n.slot >= 0) return f.slots[n.slot];
    int index = GlobalSlot(n.lname);
    n.cache.kind = DynamicKind::Global;
    n.cache.global = index;
    return &m_globals[index].value;
}

Variant Interpreter::EvalName(const NameExpr& n, Frame& f, bool asCall)
{
    InvokeKind kind = asCall ? InvokeKind::Method : InvokeKind::PropertyGet;
    auto variable = [&](Variant& v) -> Variant {
        if (!n.args.empty() && !v.IsArray() && !v.IsObject()) Undefined(n, true);
        if (n.hasArgs) return ApplyArgs(v, n.args, f, kind);
        if (asCall && v.IsObject() && v.Object()) {
            ArgPack none;
            return InvokeObject(v, "", kind, none, &f);
        }
        return v;
    };
    switch (n.scope) {
    case NameScope::Local: return variable(*f.slots[n.slot]);
    case NameScope::Field: return variable(f.me->Fields()[n.slot]);
    case NameScope::ClassProc: {
        ArgPack args = PrepareArgs(n.args, f, true);
        Variant r = InvokeMember(*f.me, *n.member, kind, args);
        WriteBack(args);
        return r;
    }
    case NameScope::Dynamic: break;
    }
    Found r = Lookup(n, f);
    switch (r.kind) {
    case Found::Kind::Var:
    case Found::Kind::Const: return variable(*r.var);
    case Found::Kind::Proc: return CallProcArgs(*r.proc, nullptr, n.args, f);
    case Found::Kind::Builtin: return CallBuiltin(*r.builtin, n.args, f);
    case Found::Kind::Constant:
        if (n.hasArgs) Undefined(n, true);
        return *r.constant;
    case Found::Kind::Err: {
        Variant err{ObjectPtr(m_err)};
        return n.hasArgs ? ApplyArgs(err, n.args, f, kind) : err;
    }
    case Found::Kind::Class:
    case Found::Kind::Unknown: break;
    }
    if (asCall || n.hasArgs) Undefined(n, true);
    if (f.explicitVars) Undefined(n, false);
    return Variant();
}

Variant Interpreter::EvalMember(const MemberExpr& m, Frame& f, InvokeKind kind)
{
    Variant obj = m.object ? Evaluate(*m.object, f) : Variant(WithObject(f));
    // A member of a plain name that holds no object names it (as for an object
    // the host does not provide, such as WScript).
    if (!obj.IsObject() && m.object && m.object->kind == ExprKind::Name)
        throw ScriptError::Naming(err::kObjectRequired, static_cast<const NameExpr&>(*m.object).name);
    RequireObject(obj);
    ArgPack args = PrepareArgs(m.args, f, IsScriptObject(obj));
    Variant r = InvokeObject(obj, m.lname, kind, args, &f);
    WriteBack(args);
    return r;
}

Variant Interpreter::EvalIndex(const IndexExpr& x, Frame& f, InvokeKind kind)
{
    Variant base = Evaluate(*x.base, f);
    return ApplyArgs(base, x.args, f, kind);
}

Variant Interpreter::ApplyArgs(const Variant& target, const ExprList& args, Frame& f, InvokeKind kind)
{
    if (target.IsObject()) {
        Variant obj = target;
        RequireObject(obj);
        ArgPack pack = PrepareArgs(args, f, IsScriptObject(obj));
        Variant r = InvokeObject(obj, "", kind, pack, &f);
        WriteBack(pack);
        return r;
    }
    if (!target.IsArray()) {
        if (args.empty()) return target;
        throw ScriptError(err::kTypeMismatch);
    }
    Indices idx;
    for (const auto& a : args) {
        if (!a) throw ScriptError(err::kSubscriptOutOfRange);
        idx.Push(Index(*a, f));
    }
    if (!target.IsArray()) throw ScriptError(err::kTypeMismatch);
    return target.Array().At(idx.Span());
}

Variant Interpreter::InvokeObject(const Variant& obj, std::string_view lname, InvokeKind kind, ArgPack& args, Frame* f)
{
    RequireObject(obj);
    ObjectPtr hold = obj.Object();
    if (auto* inst = dynamic_cast<ScriptClassInstance*>(hold.get())) {
        bool inside = f && f->me && &f->me->Class() == &inst->Class();
        return InvokeInstance(*inst, lname, kind, args, inside);
    }
    std::vector<Variant> values(args.size());
    for (size_t i = 0; i < args.size(); ++i) values[i] = args.At(i);
    if (values.empty() || lname.empty() || kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet)
        return hold->Invoke(lname, kind, values);
    try {
        return hold->Invoke(lname, kind, values);
    } catch (const ScriptError& e) {
        // m.SubMatches(0): a property without parameters, the arguments going
        // to what it returns.
        if (e.Number() != err::kWrongArgumentCount) throw;
    }
    return ApplyValues(hold->Invoke(lname, InvokeKind::PropertyGet, {}), args, kind);
}

Variant Interpreter::ApplyValues(const Variant& target, ArgPack& args, InvokeKind kind)
{
    if (target.IsObject()) return InvokeObject(target, "", kind, args, nullptr);
    if (!target.IsArray()) throw ScriptError(err::kTypeMismatch);
    Indices idx;
    for (size_t i = 0; i < args.size(); ++i) idx.Push(ToLong(Value(args.At(i))));
    return target.Array().At(idx.Span());
}

Variant Interpreter::InvokeInstance(ScriptClassInstance& obj, std::string_view lname, InvokeKind kind, ArgPack& args,
                                    bool inside)
{
    const ClassDef& c = obj.Class();
    const ClassMember* m = nullptr;
    if (lname.empty()) {
        m = c.defaultMember;
    } else {
        auto it = c.members.find(std::string(lname));
        if (it != c.members.end()) m = &it->second;
    }
    if (!m || (!m->isPublic && !inside)) ThrowNoMember(lname);
    return InvokeMember(obj, *m, kind, args);
}

Variant Interpreter::InvokeMember(ScriptClassInstance& obj, const ClassMember& m, InvokeKind kind, ArgPack& args)
{
    ObjectPtr hold = obj.shared_from_this();
    bool assign = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
    if (m.field >= 0) {
        Variant& field = obj.Fields()[m.field];
        size_t indexCount = assign ? args.size() - 1 : args.size();
        if (assign && indexCount == 0) {
            field = args.At(args.size() - 1);
            return Variant();
        }
        if (!assign && indexCount == 0) return field;
        if (field.IsObject()) {
            ArgPack pass = args;
            for (size_t i = 0; i < pass.size(); ++i) pass.refs[i] = nullptr, pass.values[i] = args.At(i);
            return InvokeObject(field, "", kind, pass, nullptr);
        }
        if (!field.IsArray()) throw ScriptError(err::kTypeMismatch);
        Indices idx;
        for (size_t i = 0; i < indexCount; ++i) idx.Push(ToLong(Value(args.At(i))));
        if (!field.IsArray()) throw ScriptError(err::kTypeMismatch);
        if (!assign) return field.Array().At(idx.Span());
        field.Array().At(idx.Span()) = args.At(args.size() - 1);
        return Variant();
    }
    const Procedure* p = nullptr;
    switch (kind) {
    case InvokeKind::Method: p = m.method ? m.method : m.get; break;
    case InvokeKind::PropertyGet: p = m.get ? m.get : m.method; break;
    case InvokeKind::PropertyLet: p = m.let ? m.let : m.set; break;
    case InvokeKind::PropertySet: p = m.set ? m.set : m.let; break;
    }
    if (!p) throw ScriptError(err::kObjectDoesNotSupport);
    if (!assign && p->params.empty() && args.size() > 0) {
        ArgPack none;
        return ApplyValues(CallProcedure(*p, &obj, none), args, kind);
    }
    return CallProcedure(*p, &obj, args);
}

ArgPack Interpreter::PrepareArgs(const ExprList& args, Frame& f, bool byRef, size_t extra)
{
    ArgPack p;
    size_t n = args.size();
    p.values.reserve(n + extra);
    p.refs.reserve(n + extra);
    p.values.resize(n);
    p.refs.assign(n, nullptr);
    for (size_t i = 0; i < n; ++i) {
        const Expr* e = args[i].get();
        if (!e) {
            p.values[i] = Variant::Missing();
            continue;
        }
        if (byRef && !e->parens && e->kind == ExprKind::Name) {
            const auto& name = static_cast<const NameExpr&>(*e);
            if (!name.hasArgs) {
                if (Variant* v = VarRef(name, f, true)) {
                    p.refs[i] = v;
                    continue;
                }
            } else if (name.scope != NameScope::ClassProc) {
                Variant* arr = VarRef(name, f, false);
                if (arr && arr->IsArray()) {
                    std::vector<int32_t> idx;
                    for (const auto& a : name.args) {
                        if (!a) throw ScriptError(err::kSubscriptOutOfRange);
                        idx.push_back(Index(*a, f));
                    }
                    if (!arr->IsArray()) throw ScriptError(err::kTypeMismatch);
                    p.values[i] = arr->Array().At(idx);
                    p.elements.push_back({i, arr, std::move(idx)});
                    continue;
                }
            }
        }
        p.values[i] = Evaluate(*e, f);
    }
    for (const auto& el : p.elements) p.refs[el.arg] = &p.values[el.arg];
    return p;
}

void Interpreter::WriteBack(ArgPack& args)
{
    for (const auto& el : args.elements) {
        if (!el.array->IsArray()) continue;
        try {
            el.array->Array().At(el.indices) = args.values[el.arg];
        } catch (const ScriptError&) {
            // The array changed shape during the call: nothing to write to.
        }
    }
}

Variant Interpreter::CallProcArgs(const Procedure& p, ScriptClassInstance* me, const ExprList& args, Frame& f)
{
    ArgPack pack = PrepareArgs(args, f, true);
    Variant r = CallProcedure(p, me, pack);
    WriteBack(pack);
    return r;
}

Variant Interpreter::CallBuiltin(const BuiltinFunction& b, const ExprList& args, Frame& f)
{
    size_t n = args.size();
    if (static_cast<int>(n) < b.minArgs || static_cast<int>(n) > b.maxArgs)
        throw ScriptError::Naming(err::kWrongArgumentCount, std::string(b.name));
    std::vector<Variant> values(n);
    // Arrays in plain variables are lent to the function rather than copied.
    std::vector<std::pair<Variant*, size_t>> lent;
    auto giveBack = [&] {
        for (auto& [from, i] : lent) *from = std::move(values[i]);
    };
    try {
        for (size_t i = 0; i < n; ++i) {
            const Expr* e = args[i].get();
            if (!e) {
                values[i] = Variant::Missing();
                continue;
            }
            if (e->kind == ExprKind::Name && !static_cast<const NameExpr*>(e)->hasArgs) {
                Variant* v = VarRef(static_cast<const NameExpr&>(*e), f, false);
                bool already = false;
                for (auto& l : lent) already = already || l.first == v;
                if (v && v->IsArray() && !already) {
                    values[i] = std::move(*v);
                    lent.emplace_back(v, i);
                    continue;
                }
            }
            values[i] = b.takesObjects ? Evaluate(*e, f) : ValueOf(*e, f);
        }
        BuiltinCall call{values, *this};
        Variant r = b.fn(call);
        giveBack();
        return r;
    } catch (...) {
        giveBack();
        throw;
    }
}

void Interpreter::Assign(const Expr& target, Variant value, Frame& f, bool isSet)
{
    if (isSet) {
        if (!value.IsObject()) throw ScriptError(err::kObjectRequired);
    } else if (value.IsObject()) {
        if (!value.Object()) throw ScriptError(err::kObjectVariableNotSet);
        value = Value(std::move(value));
    }
    switch (target.kind) {
    case ExprKind::Name: AssignName(static_cast<const NameExpr&>(target), std::move(value), f, isSet); return;
    case ExprKind::Member: {
        const auto& m = static_cast<const MemberExpr&>(target);
        Variant obj = m.object ? Evaluate(*m.object, f) : Variant(WithObject(f));
        RequireObject(obj);
        ArgPack args = PrepareArgs(m.args, f, IsScriptObject(obj), 1);
        args.values.push_back(std::move(value));
        args.refs.push_back(nullptr);
        InvokeObject(obj, m.lname, isSet ? InvokeKind::PropertySet : InvokeKind::PropertyLet, args, &f);
        WriteBack(args);
        return;
    }
    case ExprKind::Index: {
        const auto& x = static_cast<const IndexExpr&>(target);
        // a(1)(2) = v: the element of an array held in an array variable.
        if (x.base->kind == ExprKind::Name) {
            const auto& n = static_cast<const NameExpr&>(*x.base);
            Variant* arr = n.hasArgs ? VarRef(n, f, false) : nullptr;
            if (arr && arr->IsArray()) {
                Indices idx;
                for (const auto& a : n.args) {
                    if (!a) throw ScriptError(err::kSubscriptOutOfRange);
                    idx.Push(Index(*a, f));
                }
                if (!arr->IsArray()) throw ScriptError(err::kTypeMismatch);
                AssignElement(arr->Array().At(idx.Span()), x.args, std::move(value), f, isSet);
                return;
            }
        }
        Variant base = Evaluate(*x.base, f);
        RequireObject(base);
        AssignElement(base, x.args, std::move(value), f, isSet);
        return;
    }
    default: throw ScriptError(err::kIllegalAssignment);
    }
}

void Interpreter::AssignName(const NameExpr& n, Variant value, Frame& f, bool isSet)
{
    InvokeKind kind = isSet ? InvokeKind::PropertySet : InvokeKind::PropertyLet;
    auto illegal = [&]() -> ScriptError {
        return ScriptError::Naming(err::kIllegalAssignment, n.name);
    };
    if (n.scope == NameScope::ClassProc) {
        ArgPack args = PrepareArgs(n.args, f, true, 1);
        args.values.push_back(std::move(value));
        args.refs.push_back(nullptr);
        InvokeMember(*f.me, *n.member, kind, args);
        WriteBack(args);
        return;
    }
    if (!n.hasArgs) {
        switch (n.scope) {
        case NameScope::Local:
            if (n.isConst) throw illegal();
            *f.slots[n.slot] = std::move(value);
            return;
        case NameScope::Field: f.me->Fields()[n.slot] = std::move(value); return;
        default: break;
        }
        Found r = Lookup(n, f);
        if (r.kind == Found::Kind::Var) {
            *r.var = std::move(value);
        } else if (r.kind == Found::Kind::Unknown) {
            *CreateVar(n, f) = std::move(value);
        } else {
            throw illegal();
        }
        return;
    }
    if (n.isConst) throw illegal();
    Variant* container = VarRef(n, f, false);
    if (!container) {
        if (n.scope == NameScope::Dynamic && Lookup(n, f).kind == Found::Kind::Unknown) {
            if (f.explicitVars) Undefined(n, false);
            throw ScriptError::Naming(err::kTypeMismatch, n.name);
        }
        throw illegal();
    }
    AssignElement(*container, n.args, std::move(value), f, isSet);
}

void Interpreter::AssignElement(Variant& container, const ExprList& args, Variant value, Frame& f, bool isSet)
{
    if (container.IsObject()) {
        Variant obj = container;
        RequireObject(obj);
        ArgPack pack = PrepareArgs(args, f, IsScriptObject(obj), 1);
        pack.values.push_back(std::move(value));
        pack.refs.push_back(nullptr);
        InvokeObject(obj, "", isSet ? InvokeKind::PropertySet : InvokeKind::PropertyLet, pack, &f);
        WriteBack(pack);
        return;
    }
    Indices idx;
    for (const auto& a : args) {
        if (!a) throw ScriptError(err::kSubscriptOutOfRange);
        idx.Push(Index(*a, f));
    }
    if (!container.IsArray()) throw ScriptError(err::kTypeMismatch);
    container.Array().At(idx.Span()) = std::move(value);
}

} // namespace brindle::vbs
