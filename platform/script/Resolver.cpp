// Binds the names inside a procedure to frame slots (parameters, the result,
// Dims and Consts), to the members of its class, or leaves them to the
// run-time lookup with an implicit local slot for a name the procedure
// assigns without declaring it.
#include "platform/script/ParserImpl.h"

namespace brindle::vbs {

namespace {

void ResolveName(NameExpr& n, Procedure* proc, const ClassDef* owner, bool allocate)
{
    if (proc) {
        if (proc->resultSlot >= 0 && n.lname == proc->lname && !n.hasArgs && !n.callee) {
            n.scope = NameScope::Local;
            n.slot = proc->resultSlot;
            return;
        }
        auto it = proc->localIndex.find(n.lname);
        if (it != proc->localIndex.end()) {
            n.scope = NameScope::Local;
            n.slot = it->second;
            n.isConst = proc->locals[it->second].isConst;
            return;
        }
    }
    if (owner) {
        auto it = owner->members.find(n.lname);
        if (it != owner->members.end()) {
            if (it->second.field >= 0) {
                n.scope = NameScope::Field;
                n.slot = it->second.field;
            } else {
                n.scope = NameScope::ClassProc;
                n.member = &it->second;
            }
            return;
        }
    }
    if (proc && allocate) {
        // An undeclared name: a local of its own unless a global of that name
        // exists when the code runs. One slot per distinct name.
        for (size_t i = 0; i < proc->locals.size(); ++i) {
            if (proc->locals[i].lname == n.lname && proc->localIndex.find(n.lname) == proc->localIndex.end() &&
                static_cast<int>(i) != proc->resultSlot) {
                n.slot = static_cast<int>(i);
                return;
            }
        }
        VarDecl implicit;
        implicit.lname = n.lname;
        implicit.name = n.name;
        n.slot = static_cast<int>(proc->locals.size());
        proc->locals.push_back(std::move(implicit));
    }
}

void ResolveList(ExprList& list, Procedure* proc, const ClassDef* owner, bool allocate)
{
    for (auto& e : list) ResolveExpr(e.get(), proc, owner, allocate);
}

} // namespace

void ResolveExpr(Expr* e, Procedure* proc, const ClassDef* owner, bool allocate)
{
    if (!e) return;
    switch (e->kind) {
    case ExprKind::Literal:
    case ExprKind::Me:
    case ExprKind::New: return;
    case ExprKind::Name: {
        auto* n = static_cast<NameExpr*>(e);
        ResolveName(*n, proc, owner, allocate);
        ResolveList(n->args, proc, owner, allocate);
        return;
    }
    case ExprKind::Member: {
        auto* m = static_cast<MemberExpr*>(e);
        ResolveExpr(m->object.get(), proc, owner, allocate);
        ResolveList(m->args, proc, owner, allocate);
        return;
    }
    case ExprKind::Index: {
        auto* x = static_cast<IndexExpr*>(e);
        ResolveExpr(x->base.get(), proc, owner, allocate);
        ResolveList(x->args, proc, owner, allocate);
        return;
    }
    case ExprKind::Unary: ResolveExpr(static_cast<UnaryExpr*>(e)->operand.get(), proc, owner, allocate); return;
    case ExprKind::Binary: {
        // Left-nested chains are walked iteratively.
        auto* b = static_cast<BinaryExpr*>(e);
        while (b) {
            ResolveExpr(b->right.get(), proc, owner, allocate);
            Expr* left = b->left.get();
            if (left->kind == ExprKind::Binary) {
                b = static_cast<BinaryExpr*>(left);
            } else {
                ResolveExpr(left, proc, owner, allocate);
                b = nullptr;
            }
        }
        return;
    }
    }
}

void ResolveBlock(Block& block, Procedure* proc, const ClassDef* owner, bool allocate)
{
    auto expr = [&](ExprPtr& e) { ResolveExpr(e.get(), proc, owner, allocate); };
    for (auto& sp : block) {
        Stmt* s = sp.get();
        switch (s->kind) {
        case StmtKind::Assign: {
            auto* a = static_cast<AssignStmt*>(s);
            expr(a->target);
            expr(a->value);
            break;
        }
        case StmtKind::Call: expr(static_cast<CallStmt*>(s)->callee); break;
        case StmtKind::If: {
            auto* i = static_cast<IfStmt*>(s);
            for (auto& b : i->branches) {
                expr(b.condition);
                ResolveBlock(b.body, proc, owner, allocate);
            }
            ResolveBlock(i->elseBody, proc, owner, allocate);
            break;
        }
        case StmtKind::Select: {
            auto* sel = static_cast<SelectStmt*>(s);
            expr(sel->subject);
            for (auto& c : sel->cases) {
                for (auto& item : c.items) {
                    expr(item.a);
                    expr(item.b);
                }
                ResolveBlock(c.body, proc, owner, allocate);
            }
            ResolveBlock(sel->elseBody, proc, owner, allocate);
            break;
        }
        case StmtKind::For: {
            auto* f = static_cast<ForStmt*>(s);
            expr(f->counter);
            expr(f->from);
            expr(f->to);
            expr(f->step);
            ResolveBlock(f->body, proc, owner, allocate);
            break;
        }
        case StmtKind::ForEach: {
            auto* f = static_cast<ForEachStmt*>(s);
            expr(f->variable);
            expr(f->collection);
            ResolveBlock(f->body, proc, owner, allocate);
            break;
        }
        case StmtKind::Do: {
            auto* d = static_cast<DoStmt*>(s);
            expr(d->condition);
            ResolveBlock(d->body, proc, owner, allocate);
            break;
        }
        case StmtKind::ReDim:
            for (auto& item : static_cast<ReDimStmt*>(s)->items) {
                expr(item.target);
                ResolveList(item.bounds, proc, owner, allocate);
            }
            break;
        case StmtKind::Erase:
            for (auto& t : static_cast<EraseStmt*>(s)->targets) expr(t);
            break;
        case StmtKind::With: {
            auto* w = static_cast<WithStmt*>(s);
            expr(w->object);
            ResolveBlock(w->body, proc, owner, allocate);
            break;
        }
        case StmtKind::Const:
            for (auto& item : static_cast<ConstStmt*>(s)->items) {
                expr(item.target);
                expr(item.value);
            }
            break;
        case StmtKind::Exit:
        case StmtKind::OnError: break;
        }
    }
}

void Parser::ResolveProcedure(Procedure& proc, ClassDef* owner)
{
    ResolveBlock(proc.body, &proc, owner, true);
}

} // namespace brindle::vbs
