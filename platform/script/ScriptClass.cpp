#include "platform/script/ScriptClass.h"

#include "platform/script/Interpreter.h"

namespace brindle::vbs {

namespace {
ArgPack PackByRef(std::span<Variant> args)
{
    ArgPack pack;
    pack.values.resize(args.size());
    pack.refs.resize(args.size());
    for (size_t i = 0; i < args.size(); ++i) pack.refs[i] = &args[i];
    return pack;
}
} // namespace

ScriptClassInstance::ScriptClassInstance(std::shared_ptr<const ClassDef> cls, const std::shared_ptr<Interpreter*>& owner)
    : m_charge(sizeof(ScriptClassInstance) + 32 + cls->fields.size() * sizeof(Variant)),
      m_class(std::move(cls)),
      m_owner(owner)
{
    m_fields.resize(m_class->fields.size());
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const VarDecl& d = m_class->fields[i];
        if (!d.isArray) continue;
        std::vector<SafeArray::Bound> bounds;
        for (int32_t ub : d.upperBounds) bounds.push_back({0, ub});
        if (bounds.empty()) {
            m_fields[i] = Variant(SafeArray());
        } else {
            SafeArray a(bounds);
            a.SetFixed(true);
            m_fields[i] = Variant(std::move(a));
        }
    }
}

namespace {

// An instance whose class has Class_Terminate goes to its engine, which runs
// the handler at the next statement boundary (never inside an assignment
// that happened to release the last reference) and then deletes it.
void Finish(ScriptClassInstance* obj)
{
    auto owner = obj->Owner();
    if (owner && obj->Class().terminate) (*owner)->QueueTerminate(obj);
    else delete obj;
}

// Releases queue up while one is being handled, so a long linked list of
// instances goes in a loop rather than in nested destructor calls.
struct InstanceDeleter {
    void operator()(ScriptClassInstance* obj) const
    {
        static thread_local int depth = 0;
        static thread_local std::vector<ScriptClassInstance*> pending;
        pending.push_back(obj);
        if (depth > 0) return;
        ++depth;
        while (!pending.empty()) {
            ScriptClassInstance* next = pending.back();
            pending.pop_back();
            Finish(next);
        }
        --depth;
    }
};

} // namespace

std::shared_ptr<ScriptClassInstance> ScriptClassInstance::Create(std::shared_ptr<const ClassDef> cls,
                                                                 const std::shared_ptr<Interpreter*>& owner)
{
    return std::shared_ptr<ScriptClassInstance>(new ScriptClassInstance(std::move(cls), owner), InstanceDeleter{});
}

ScriptClassInstance::~ScriptClassInstance()
{
    if (auto owner = m_owner.lock()) (*owner)->Forget(this);
}

VbString ScriptClassInstance::TypeName() const { return ToVb(m_class->name); }

Variant ScriptClassInstance::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    auto owner = m_owner.lock();
    if (!owner) ThrowNoMember(name);
    ArgPack pack = PackByRef(args);
    return (*owner)->InvokeInstance(*this, name, kind, pack, false);
}

Variant ProcedureRef::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    auto owner = m_owner.lock();
    if (!owner || !name.empty() || kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet)
        ThrowNoMember(name);
    ArgPack pack = PackByRef(args);
    return (*owner)->CallProcedure(m_proc, nullptr, pack);
}

} // namespace brindle::vbs
