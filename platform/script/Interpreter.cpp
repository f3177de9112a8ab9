#include "platform/script/Interpreter.h"

#include "platform/script/ErrObject.h"
#include "platform/script/Parser.h"
#include "platform/script/ScriptClass.h"

#include <pthread.h>

namespace brindle::vbs {

namespace {

// The clock is read every kClockEvery statements and loop passes (and after
// bulk work); the host's stop check runs when kCheckEvery of them or the
// host's interval have passed since it last ran.
constexpr int kClockEvery = 64;
constexpr int kCheckEvery = 4096;
constexpr int kMaxDepth = 10000;

// The lowest address this thread's stack may grow to before calls fail with
// "Out of stack space": a quarter of the stack (at least 256 KB) is kept free
// for the built-ins and the host.
uintptr_t StackFloor()
{
    thread_local uintptr_t floor = 0;
    if (floor) return floor;
    pthread_attr_t attr;
    void* base = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        pthread_attr_getstack(&attr, &base, &size);
        pthread_attr_destroy(&attr);
    }
    if (!base || size == 0) {
        // Unknown: allow 1 MB below here.
        floor = reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) - (1u << 20);
        return floor;
    }
    size_t reserve = std::max<size_t>(size / 4, 256 * 1024);
    floor = reinterpret_cast<uintptr_t>(base) + reserve;
    return floor;
}

Variant InitialValue(const VarDecl& d)
{
    if (d.constValue) return *d.constValue;
    if (!d.isArray) return Variant();
    if (d.upperBounds.empty()) return Variant(SafeArray());
    std::vector<SafeArray::Bound> bounds;
    for (int32_t ub : d.upperBounds) bounds.push_back({0, ub});
    SafeArray a(std::move(bounds));
    a.SetFixed(true);
    return Variant(std::move(a));
}

} // namespace

Interpreter::Interpreter() : m_err(std::make_shared<ErrObject>()), m_self(std::make_shared<Interpreter*>(this)) {}

Interpreter::~Interpreter()
{
    // Instances that reference each other would keep one another alive: empty
    // their variables first, then let everything go.
    m_self.reset();
    std::vector<ObjectPtr> held;
    for (ScriptClassInstance* obj : m_instances)
        if (ObjectPtr p = obj->weak_from_this().lock()) held.push_back(std::move(p));
    m_instances.clear();
    std::vector<std::vector<Variant>> contents;
    for (auto& p : held) contents.push_back(std::move(static_cast<ScriptClassInstance&>(*p).Fields()));
    std::vector<ScriptClassInstance*> released;
    released.swap(m_terminate);
    for (ScriptClassInstance* obj : released) delete obj;
    contents.clear();
    held.clear();
    m_top.withStack.clear();
    m_globals.clear();
}

void Interpreter::Poll()
{
    m_pollCountdown = kClockEvery;
    if (!m_interrupt) return;
    m_statementsSinceCheck += kClockEvery; // about: bulk work ends a round early
    const auto now = std::chrono::steady_clock::now();
    if (m_statementsSinceCheck < kCheckEvery && now - m_lastCheck < m_interruptEvery) return;
    m_statementsSinceCheck = 0;
    m_lastCheck = now;
    if (m_interrupt()) throw ScriptError(err::kInterrupted);
}

memory::RunScope Interpreter::EnterFromHost()
{
    if (m_depth == 0) {
        m_lastCheck = std::chrono::steady_clock::now();
        m_statementsSinceCheck = 0;
    }
    return memory::RunScope(m_memoryBudget, m_pollCountdown);
}

void Interpreter::RunTerminates()
{
    while (!m_terminate.empty()) {
        ScriptClassInstance* obj = m_terminate.back();
        m_terminate.pop_back();
        // Owned again while Class_Terminate runs, so Me works; if the script
        // keeps Me the object lives on, else it goes at the end of this pass.
        std::shared_ptr<ScriptClassInstance> again(obj, [](ScriptClassInstance* p) { delete p; });
        try {
            ArgPack none;
            CallProcedure(*obj->Class().terminate, obj, none);
        } catch (const ScriptError& e) {
            if (e.Number() == err::kInterrupted) throw;
        }
    }
}

void Interpreter::CheckStack()
{
    if (m_depth > kMaxDepth || reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < StackFloor())
        throw ScriptError(err::kOutOfStackSpace);
}

int Interpreter::GlobalSlot(const std::string& lname)
{
    auto [it, added] = m_globalIndex.emplace(lname, static_cast<int>(m_globals.size()));
    if (added) {
        m_globals.emplace_back();
        ++m_generation;
    }
    return it->second;
}

void Interpreter::Install(Program& program)
{
    for (const VarDecl& d : program.globals) {
        bool existed = m_globalIndex.count(d.lname) > 0;
        GlobalEntry& g = m_globals[GlobalSlot(d.lname)];
        try {
            if (d.isConst) {
                g.isConst = true;
                g.value = InitialValue(d);
            } else if (!existed || d.isArray) {
                g.value = InitialValue(d);
            }
        } catch (ScriptError& e) {
            // An array too large for the memory budget fails at its Dim.
            if (e.Line() == 0) e.SetPosition(d.line, 0);
            throw;
        }
    }
    for (auto& p : program.procs) m_globals[GlobalSlot(p->lname)].proc = p.get();
    for (auto& c : program.classes) m_globals[GlobalSlot(c->lname)].cls = c;
    ++m_generation;
}

void Interpreter::AddCode(VbStringView code)
{
    memory::RunScope scope = EnterFromHost();
    auto program = ParseProgram(code);
    Program& p = *program;
    m_programs.push_back(std::move(program));
    Install(p);
    Frame frame;
    frame.explicitVars = p.explicitVars;
    CheckStack();
    {
        FrameScope scope(*this, frame);
        ExecBlock(p.body, frame);
    }
    RunTerminates();
}

Variant Interpreter::Run(std::string_view procedureName, std::vector<Variant> args)
{
    memory::RunScope scope = EnterFromHost();
    auto it = m_globalIndex.find(LowerAscii(procedureName));
    if (it == m_globalIndex.end() || !m_globals[it->second].proc)
        throw ScriptError::Naming(err::kSubOrFunctionNotDefined, std::string(procedureName));
    ArgPack pack;
    pack.values = std::move(args);
    pack.refs.assign(pack.values.size(), nullptr);
    for (size_t i = 0; i < pack.values.size(); ++i) pack.refs[i] = &pack.values[i];
    Variant result = CallProcedure(*m_globals[it->second].proc, nullptr, pack);
    pack = ArgPack();
    RunTerminates();
    return result;
}

Variant Interpreter::Eval(const VbString& expression)
{
    Frame& f = *m_frame;
    ParseScope scope{f.proc, f.me ? &f.me->Class() : nullptr};
    try {
        ExprPtr e = ParseExpression(expression, scope);
        return Evaluate(*e, f);
    } catch (ScriptError& e) {
        // Positions inside the text mean nothing to the script: the error
        // belongs to the statement that called Eval.
        e.SetPosition(0, 0);
        throw;
    }
}

void Interpreter::Execute(const VbString& statements, bool global)
{
    try {
        ExecuteText(statements, global);
    } catch (ScriptError& e) {
        e.SetPosition(0, 0); // the error belongs to the statement that called Execute
        throw;
    }
}

void Interpreter::ExecuteText(const VbString& statements, bool global)
{
    Frame& current = *m_frame;
    ParseScope scope;
    if (!global) scope = ParseScope{current.proc, current.me ? &current.me->Class() : nullptr};
    auto program = ParseProgram(statements, scope);
    Install(*program);
    Program& p = *program;
    bool keep = !p.procs.empty() || !p.classes.empty();
    if (keep) m_programs.push_back(std::move(program));
    if (global) {
        Frame frame;
        frame.explicitVars = p.explicitVars;
        FrameScope fs(*this, frame);
        ExecBlock(p.body, frame);
    } else {
        ExecBlock(p.body, current);
    }
}

Variant Interpreter::GetRef(const VbString& procedureName)
{
    auto it = m_globalIndex.find(LowerAscii(ToUtf8(procedureName)));
    if (it == m_globalIndex.end() || !m_globals[it->second].proc) throw ScriptError(err::kInvalidProcedureCall);
    return Variant(ObjectPtr(std::make_shared<ProcedureRef>(*m_globals[it->second].proc, m_self)));
}

Variant Interpreter::CallProcedure(const Procedure& p, ScriptClassInstance* me, ArgPack& args)
{
    if (args.size() != p.params.size())
        throw ScriptError::Naming(err::kWrongArgumentCount, p.name);
    CheckStack();
    ObjectPtr hold = me ? me->shared_from_this() : nullptr;
    Frame frame;
    frame.proc = &p;
    frame.me = me;
    frame.explicitVars = p.explicitVars;
    size_t n = p.locals.size();
    frame.own.resize(n);
    frame.slots.resize(n);
    for (size_t i = 0; i < n; ++i) {
        if (i < p.params.size()) {
            if (p.params[i].byRef && args.refs[i]) {
                frame.slots[i] = args.refs[i];
                continue;
            }
            frame.own[i] = args.refs[i] ? *args.refs[i] : std::move(args.values[i]);
        } else {
            const VarDecl& d = p.locals[i];
            if (d.isArray || d.constValue) frame.own[i] = InitialValue(d);
        }
        frame.slots[i] = &frame.own[i];
    }
    FrameScope scope(*this, frame);
    ExecBlock(p.body, frame);
    return p.resultSlot >= 0 ? std::move(frame.own[p.resultSlot]) : Variant();
}

} // namespace brindle::vbs
