#pragma once

#include "platform/script/Ast.h"
#include "platform/script/ScriptObject.h"

#include <memory>
#include <vector>

namespace brindle::vbs {

class Interpreter;

// An instance of a script Class: its member variables, calls going back to
// the interpreter that defined the class. After the engine is gone every
// call fails with 438 instead of reaching freed code. Its member variables
// count against the memory budget.
class ScriptClassInstance final : public ScriptObject {
public:
    ScriptClassInstance(std::shared_ptr<const ClassDef> cls, const std::shared_ptr<Interpreter*>& owner);
    ~ScriptClassInstance() override;

    VbString TypeName() const override;
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;

    // A new instance whose last release has its engine run Class_Terminate
    // (once, errors ignored) and which is destroyed without recursion however long a chain
    // of instances it ends.
    static std::shared_ptr<ScriptClassInstance> Create(std::shared_ptr<const ClassDef> cls,
                                                       const std::shared_ptr<Interpreter*>& owner);

    const ClassDef& Class() const { return *m_class; }
    std::vector<Variant>& Fields() { return m_fields; }
    std::shared_ptr<Interpreter*> Owner() const { return m_owner.lock(); }

private:
    MemoryCharge m_charge;
    std::shared_ptr<const ClassDef> m_class;
    std::weak_ptr<Interpreter*> m_owner;
    std::vector<Variant> m_fields;
};

// What GetRef gives: a procedure called through the object's default member.
class ProcedureRef final : public ScriptObject {
public:
    ProcedureRef(const Procedure& proc, const std::shared_ptr<Interpreter*>& owner) : m_proc(proc), m_owner(owner) {}
    VbString TypeName() const override { return u"Object"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;

private:
    const Procedure& m_proc;
    std::weak_ptr<Interpreter*> m_owner;
};

} // namespace brindle::vbs
