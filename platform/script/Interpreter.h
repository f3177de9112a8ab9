#pragma once

#include "platform/Export.h"
#include "platform/script/Ast.h"
#include "platform/script/ScriptContext.h"
#include "platform/script/ScriptError.h"
#include "platform/script/ScriptObject.h"
#include "platform/script/VariantOps.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace brindle::vbs {

class ErrObject;
class ScriptClassInstance;

// A name at the global level: a variable or constant, a procedure, or a class.
struct GlobalEntry {
    Variant value;
    bool isConst = false;
    Procedure* proc = nullptr;
    std::shared_ptr<ClassDef> cls;
};

// One running procedure (or the global level): its slots, each pointing at
// its own storage or, for a ByRef parameter, at the caller's variable.
struct Frame {
    const Procedure* proc = nullptr;
    std::vector<Variant> own;
    std::vector<Variant*> slots;
    ScriptClassInstance* me = nullptr;
    bool resumeNext = false;
    bool explicitVars = false;
    std::vector<Variant> withStack;
};

// Arguments ready for a call. refs[i] is the variable a ByRef parameter binds
// to (null: the value in values[i] goes by value). Array elements passed by
// reference are copied into values and written back after the call.
struct ArgPack {
    std::vector<Variant> values;
    std::vector<Variant*> refs;
    struct ElementRef {
        size_t arg;
        Variant* array;
        std::vector<int32_t> indices;
    };
    std::vector<ElementRef> elements;
    size_t size() const { return values.size(); }
    const Variant& At(size_t i) const { return refs[i] ? *refs[i] : values[i]; }
};

enum class Flow : uint8_t { Normal, ExitDo, ExitFor, ExitProc };

// Runs parsed code: the global table, call frames, the Err object, and the
// engine services built-in functions reach through ScriptContext.
class BRINDLEKIT_API Interpreter final : public ScriptContext {
public:
    Interpreter();
    ~Interpreter() override;

    void SetUI(ScriptUI* ui) { m_ui = ui; }
    void SetInterruptCheck(std::function<bool()> check, std::chrono::steady_clock::duration every)
    {
        m_interrupt = std::move(check);
        m_interruptEvery = every;
    }
    void SetMemoryBudget(size_t bytes) { m_memoryBudget = bytes; }
    void AddCode(VbStringView code);
    Variant Run(std::string_view procedureName, std::vector<Variant> args);

    // ScriptContext
    ScriptUI* UI() override { return m_ui; }
    uint32_t& RandomSeed() override { return m_seed; }
    Variant& LastRandom() override { return m_lastRandom; }
    Variant Eval(const VbString& expression) override;
    void Execute(const VbString& statements, bool global) override;
    Variant GetRef(const VbString& procedureName) override;
    Variant DefaultValue(const Variant& obj) override;

    // Calls from script objects (class instances, GetRef references).
    Variant InvokeInstance(ScriptClassInstance& obj, std::string_view lname, InvokeKind kind, ArgPack& args,
                           bool inside);
    Variant CallProcedure(const Procedure& proc, ScriptClassInstance* me, ArgPack& args);
    void Forget(ScriptClassInstance* obj) { m_instances.erase(obj); }
    // An instance released for the last time whose class has Class_Terminate.
    void QueueTerminate(ScriptClassInstance* obj) { m_terminate.push_back(obj); }

private:
    friend class FrameScope;

    // ----- global table (Interpreter.cpp)
    void Install(Program& program);
    void ExecuteText(const VbString& statements, bool global);
    int GlobalSlot(const std::string& lname); // creates the entry
    void Poll(); // the clock, and the host's stop check when due
    memory::RunScope EnterFromHost(); // AddCode and Run: the budget applies, the stop check's clock starts
    void RunTerminates();
    void CheckStack();

    // ----- statements (InterpreterExec.cpp)
    Flow ExecBlock(const Block& block, Frame& f);
    Flow Exec(const Stmt& s, Frame& f);
    Flow ExecIf(const IfStmt& s, Frame& f);
    Flow ExecSelect(const SelectStmt& s, Frame& f);
    Flow ExecFor(const ForStmt& s, Frame& f);
    Flow ExecForEach(const ForEachStmt& s, Frame& f);
    Flow ExecDo(const DoStmt& s, Frame& f);
    Flow ExecWith(const WithStmt& s, Frame& f);
    void ExecReDim(const ReDimStmt& s, Frame& f);
    void ExecErase(const EraseStmt& s, Frame& f);
    void ExecConst(const ConstStmt& s, Frame& f);
    bool HandleError(ScriptError& e, const Stmt& s, Frame& f); // false: not handled here

    // ----- expressions (InterpreterEval.cpp)
    Variant Evaluate(const Expr& e, Frame& f);
    Variant EvalBinary(const BinaryExpr& b, Frame& f);
    // A comparison as the language makes it: a literal compared with a value of
    // the other kind (a number with a numeric string) is read as that kind first.
    static Variant CompareWritten(CompareOp op, Variant l, bool leftLiteral, Variant r, bool rightLiteral);
    // Objects in value contexts give their default member's value.
    Variant Value(Variant v) { return v.IsObject() && v.Object() ? DefaultValue(v) : v; }
    Variant ValueOf(const Expr& e, Frame& f)
    {
        Variant v = Evaluate(e, f);
        if (v.IsObject() && v.Object()) return DefaultValue(v);
        return v;
    }
    bool Condition(const Expr& e, Frame& f);
    int32_t Index(const Expr& e, Frame& f);
    Variant NewObject(const NewExpr& n);
    ObjectPtr WithObject(Frame& f);
    ObjectPtr MeObject(Frame& f);

    // ----- names and calls (InterpreterCalls.cpp)
    struct Found {
        enum class Kind : uint8_t { Var, Const, Proc, Class, Builtin, Constant, Err, Unknown } kind;
        Variant* var = nullptr;
        const Procedure* proc = nullptr;
        const BuiltinFunction* builtin = nullptr;
        const Variant* constant = nullptr;
    };
    Found Lookup(const NameExpr& n, Frame& f);
    Variant* VarRef(const NameExpr& n, Frame& f, bool create);
    Variant* CreateVar(const NameExpr& n, Frame& f);
    Variant EvalName(const NameExpr& n, Frame& f, bool asCall);
    Variant EvalMember(const MemberExpr& m, Frame& f, InvokeKind kind);
    Variant EvalIndex(const IndexExpr& x, Frame& f, InvokeKind kind);
    Variant ApplyArgs(const Variant& target, const ExprList& args, Frame& f, InvokeKind kind);
    Variant InvokeObject(const Variant& obj, std::string_view lname, InvokeKind kind, ArgPack& args, Frame* f);
    Variant ApplyValues(const Variant& target, ArgPack& args, InvokeKind kind);
    Variant InvokeMember(ScriptClassInstance& obj, const ClassMember& m, InvokeKind kind, ArgPack& args);
    ArgPack PrepareArgs(const ExprList& args, Frame& f, bool byRef, size_t extra = 0);
    void WriteBack(ArgPack& args);
    Variant CallBuiltin(const BuiltinFunction& b, const ExprList& args, Frame& f);
    Variant CallProcArgs(const Procedure& p, ScriptClassInstance* me, const ExprList& args, Frame& f);
    void Assign(const Expr& target, Variant value, Frame& f, bool isSet);
    void AssignName(const NameExpr& n, Variant value, Frame& f, bool isSet);
    void AssignElement(Variant& container, const ExprList& args, Variant value, Frame& f, bool isSet);
    [[noreturn]] void Undefined(const NameExpr& n, bool called);

    std::deque<GlobalEntry> m_globals;
    std::unordered_map<std::string, int> m_globalIndex;
    uint32_t m_generation = 1;
    std::vector<std::unique_ptr<Program>> m_programs;
    std::shared_ptr<ErrObject> m_err;
    Frame m_top;
    Frame* m_frame = &m_top;
    int m_depth = 0;
    int m_pollCountdown = 0; // statements until the next look at the clock; bulk work sets it to 0
    int m_statementsSinceCheck = 0;
    std::chrono::steady_clock::time_point m_lastCheck;
    std::function<bool()> m_interrupt;
    std::chrono::steady_clock::duration m_interruptEvery{};
    size_t m_memoryBudget = memory::kUnlimited;
    ScriptUI* m_ui = nullptr;
    uint32_t m_seed = 0x50000;
    Variant m_lastRandom;
    std::unordered_set<ScriptClassInstance*> m_instances;
    std::vector<ScriptClassInstance*> m_terminate; // released, waiting for Class_Terminate
    std::shared_ptr<Interpreter*> m_self; // instances hold it weakly: calls after the engine went fail cleanly
};

// Makes f the running frame for Eval/Execute, counting call depth.
class FrameScope {
public:
    FrameScope(Interpreter& in, Frame& f) : m_in(in), m_saved(in.m_frame) { in.m_frame = &f; ++in.m_depth; }
    ~FrameScope() { m_in.m_frame = m_saved; --m_in.m_depth; }
    FrameScope(const FrameScope&) = delete;
    FrameScope& operator=(const FrameScope&) = delete;

private:
    Interpreter& m_in;
    Frame* m_saved;
};

} // namespace brindle::vbs
