#pragma once

#include "platform/script/Builtins.h"
#include "platform/script/Variant.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace brindle::vbs {

// The syntax tree the parser builds and the interpreter walks. Names inside
// procedures are resolved to frame slots when the procedure has been parsed;
// names at the top level (and names a procedure does not declare) are looked
// up at run time and the result cached on the node.

struct Procedure;
struct ClassDef;
struct ClassMember;

// ----- expressions
enum class ExprKind : uint8_t { Literal, Name, Member, Index, Unary, Binary, New, Me };
enum class BinOp : uint8_t { Add, Sub, Mul, Div, IntDiv, Mod, Pow, Concat, Eq, Ne, Lt, Le, Gt, Ge, Is,
                             And, Or, Xor, Eqv, Imp };
enum class UnOp : uint8_t { Neg, Not, Plus };

struct Expr {
    explicit Expr(ExprKind k) : kind(k) {}
    virtual ~Expr() = default;
    ExprKind kind;
    bool parens = false; // written in parentheses: passed by value
    int line = 0;
    int column = 0;
};
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>; // a null entry is a missing argument

struct LiteralExpr : Expr {
    LiteralExpr() : Expr(ExprKind::Literal) {}
    Variant value;
};

// Where a name lives. Dynamic names are looked up at run time: a global, then
// a built-in function or constant, then (in a procedure) the implicit local
// variable in slot.
enum class NameScope : uint8_t { Dynamic, Local, Field, ClassProc };

enum class DynamicKind : uint8_t { Unknown, Global, Builtin, Constant, Err, Missing };
struct DynamicCache {
    DynamicKind kind = DynamicKind::Unknown;
    uint32_t generation = 0; // the global table's generation when kind was found
    int32_t global = -1;
    const BuiltinFunction* builtin = nullptr;
    Variant constant;
};

struct NameExpr : Expr {
    NameExpr() : Expr(ExprKind::Name) {}
    std::string lname;
    std::string name;
    bool hasArgs = false; // followed by an argument list in parentheses
    ExprList args;
    NameScope scope = NameScope::Dynamic;
    int slot = -1;                 // Local / Field index; Dynamic: implicit local or -1
    bool isConst = false;          // Local constant
    bool callee = false;           // the name being called in a call statement
    const ClassMember* member = nullptr; // ClassProc
    mutable DynamicCache cache;
};

struct MemberExpr : Expr {
    MemberExpr() : Expr(ExprKind::Member) {}
    ExprPtr object; // null: the innermost With object
    std::string lname;
    std::string name;
    bool hasArgs = false;
    ExprList args;
    mutable const ClassDef* cachedClass = nullptr;
    mutable const ClassMember* cachedMember = nullptr;
};

// Arguments applied to what an expression gives: f(1)(2), (o)(1).
struct IndexExpr : Expr {
    IndexExpr() : Expr(ExprKind::Index) {}
    ExprPtr base;
    ExprList args;
};

struct UnaryExpr : Expr {
    UnaryExpr() : Expr(ExprKind::Unary) {}
    UnOp op = UnOp::Neg;
    ExprPtr operand;
};

struct BinaryExpr : Expr {
    BinaryExpr() : Expr(ExprKind::Binary) {}
    BinOp op = BinOp::Add;
    ExprPtr left;
    ExprPtr right;
};

struct NewExpr : Expr {
    NewExpr() : Expr(ExprKind::New) {}
    std::string lname;
    std::string name;
    mutable DynamicCache cache;
};

struct MeExpr : Expr {
    MeExpr() : Expr(ExprKind::Me) {}
};

// ----- statements
enum class StmtKind : uint8_t { Assign, Call, If, Select, For, ForEach, Do, Exit, OnError, ReDim, Erase,
                                With, Const };

struct Stmt {
    explicit Stmt(StmtKind k) : kind(k) {}
    virtual ~Stmt() = default;
    StmtKind kind;
    int line = 0;
};
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct AssignStmt : Stmt {
    AssignStmt() : Stmt(StmtKind::Assign) {}
    ExprPtr target;
    ExprPtr value;
    bool isSet = false;
};

// A call statement; the callee node (Name, Member or Index) holds the arguments.
struct CallStmt : Stmt {
    CallStmt() : Stmt(StmtKind::Call) {}
    ExprPtr callee;
};

struct IfStmt : Stmt {
    IfStmt() : Stmt(StmtKind::If) {}
    struct Branch {
        ExprPtr condition;
        Block body;
    };
    std::vector<Branch> branches;
    Block elseBody;
};

struct CaseItem {
    enum class Kind : uint8_t { Value, Range, Is } kind = Kind::Value;
    BinOp op = BinOp::Eq; // Is
    ExprPtr a;
    ExprPtr b; // Range upper bound
};
struct CaseClause {
    std::vector<CaseItem> items;
    Block body;
};
struct SelectStmt : Stmt {
    SelectStmt() : Stmt(StmtKind::Select) {}
    ExprPtr subject;
    std::vector<CaseClause> cases;
    bool hasElse = false;
    Block elseBody;
};

struct ForStmt : Stmt {
    ForStmt() : Stmt(StmtKind::For) {}
    ExprPtr counter;
    ExprPtr from;
    ExprPtr to;
    ExprPtr step; // may be null
    Block body;
};

struct ForEachStmt : Stmt {
    ForEachStmt() : Stmt(StmtKind::ForEach) {}
    ExprPtr variable;
    ExprPtr collection;
    Block body;
};

// Do/Loop in its forms, and While/Wend (a Do While).
struct DoStmt : Stmt {
    DoStmt() : Stmt(StmtKind::Do) {}
    ExprPtr condition; // null: no condition
    bool testFirst = true;
    bool isUntil = false;
    bool isWend = false; // While/Wend: Exit Do leaves the enclosing Do instead
    Block body;
};

enum class ExitKind : uint8_t { Do, For, Procedure };
struct ExitStmt : Stmt {
    ExitStmt() : Stmt(StmtKind::Exit) {}
    ExitKind what = ExitKind::Do;
};

struct OnErrorStmt : Stmt {
    OnErrorStmt() : Stmt(StmtKind::OnError) {}
    bool resumeNext = false;
};

struct ReDimStmt : Stmt {
    ReDimStmt() : Stmt(StmtKind::ReDim) {}
    bool preserve = false;
    struct Item {
        ExprPtr target; // a NameExpr (or a member of an object)
        ExprList bounds;
    };
    std::vector<Item> items;
};

struct EraseStmt : Stmt {
    EraseStmt() : Stmt(StmtKind::Erase) {}
    std::vector<ExprPtr> targets;
};

struct WithStmt : Stmt {
    WithStmt() : Stmt(StmtKind::With) {}
    ExprPtr object;
    Block body;
};

struct ConstStmt : Stmt {
    ConstStmt() : Stmt(StmtKind::Const) {}
    struct Item {
        ExprPtr target; // NameExpr
        ExprPtr value;
    };
    std::vector<Item> items;
};

// ----- declarations
struct VarDecl {
    std::string lname;
    std::string name;
    bool isArray = false;            // Dim a() or Dim a(3)
    std::vector<int32_t> upperBounds; // empty with isArray: a dynamic array
    bool isPublic = true;
    bool isConst = false;
    std::optional<Variant> constValue; // a literal constant, known before the code runs
    int line = 0;
};

struct Param {
    std::string lname;
    std::string name;
    bool byRef = true;
};

enum class ProcKind : uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Procedure {
    ProcKind kind = ProcKind::Sub;
    std::string lname;
    std::string name;
    std::vector<Param> params; // slots 0..params.size()-1
    Block body;
    std::vector<VarDecl> locals; // every slot: params, the result, Dims, Consts, implicit locals
    std::unordered_map<std::string, int> localIndex; // declared names (not implicit ones)
    int resultSlot = -1;
    ClassDef* owner = nullptr;
    bool isPublic = true;
    bool isDefault = false;
    bool explicitVars = false;
    int line = 0;
};

struct ClassMember {
    int field = -1; // a member variable
    Procedure* get = nullptr;
    Procedure* let = nullptr;
    Procedure* set = nullptr;
    Procedure* method = nullptr; // Sub or Function
    bool isPublic = true;
};

struct ClassDef {
    std::string lname;
    std::string name;
    std::vector<VarDecl> fields;
    std::vector<std::unique_ptr<Procedure>> procs;
    std::unordered_map<std::string, ClassMember> members;
    const ClassMember* defaultMember = nullptr;
    Procedure* initialize = nullptr;
    Procedure* terminate = nullptr;
};

// One parsed piece of code (an AddCode, Execute or ExecuteGlobal text).
struct Program {
    Block body;
    std::vector<VarDecl> globals;
    std::vector<std::unique_ptr<Procedure>> procs;
    std::vector<std::shared_ptr<ClassDef>> classes;
    bool explicitVars = false;
};

} // namespace brindle::vbs
