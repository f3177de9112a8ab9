' Array functions: Array, bounds, Split with limits, Join, Filter.
Dim out

Sub P(v)
    out = out & v & vbLf
End Sub

Function Main(x)
    out = ""
    On Error Resume Next
    Dim a, e, m(2, 4)
    a = Array(1, "two", 3.5)
    P UBound(a) & " " & LBound(a) & " " & a(1) & " " & TypeName(a) & " " & VarType(a) & " " & IsArray(a)
    '=> 2 0 two Variant() 8204 True
    e = Array()
    P UBound(e) & " " & LBound(e) & " " & IsArray(e) & " " & IsArray("x") & " " & IsArray(Empty)
    '=> -1 0 True False False
    P UBound(m) & " " & UBound(m, 1) & " " & UBound(m, 2) & " " & LBound(m, 2)
    '=> 2 2 4 0
    Err.Clear: x = UBound(m, 3): P "UBound dimension 3: " & Err.Number
    '=> UBound dimension 3: 9
    Err.Clear: x = UBound(a, 0): P "UBound dimension 0: " & Err.Number
    '=> UBound dimension 0: 9
    Err.Clear: x = UBound("abc"): P "UBound string: " & Err.Number
    '=> UBound string: 13

    ' Split: default delimiter, limits, text compare, empty input.
    a = Split("a b  c")
    P UBound(a) & " [" & a(0) & "][" & a(2) & "][" & a(3) & "]"
    '=> 3 [a][][c]
    a = Split("a,b,c,d", ",", 2)
    P UBound(a) & " " & a(0) & " " & a(1)
    '=> 1 a b,c,d
    a = Split("a,b,c", ",", 1)
    P UBound(a) & " " & a(0)
    '=> 0 a,b,c
    a = Split("a,b", ",", 0)
    P "limit 0: " & UBound(a)
    '=> limit 0: -1
    a = Split("1x2X3", "x", -1, vbTextCompare)
    P UBound(a) & " " & a(2) & " " & UBound(Split("1x2X3", "x"))
    '=> 2 3 1
    a = Split("")
    P "empty: " & UBound(a) & " " & LBound(a)
    '=> empty: -1 0
    a = Split("abc", "")
    P UBound(a) & " " & a(0)
    '=> 0 abc
    a = Split(",a,", ",")
    P UBound(a) & " [" & a(0) & "][" & a(1) & "][" & a(2) & "]"
    '=> 2 [][a][]
    a = Split("a<>b<>c", "<>")
    P Join(a, "+") & " " & TypeName(a(0))
    '=> a+b+c String
    Err.Clear: x = Split("a b", " ", -2): P "Split limit -2: " & Err.Number
    '=> Split limit -2: 5

    ' Join: default delimiter, numbers, Null and Empty elements.
    P Join(Array("a", "b", "c")) & "|" & Join(Array("a", "b"), "") & "|" & Join(Array(1, 2.5, True), ";") & "|" & Join(Array()) & "|"
    '=> a b c|ab|1;2.5;True||
    P Join(Array("a", Empty, "c"), "-")
    '=> a--c
    Err.Clear: x = Join("abc"): P "Join string: " & Err.Number
    '=> Join string: 13

    ' Filter: include, exclude, text compare, no match.
    a = Filter(Array("apple", "banana", "cherry", "Grape"), "ap")
    P UBound(a) & " " & Join(a, ",")
    '=> 1 apple,Grape
    a = Filter(Array("apple", "banana", "cherry", "Grape"), "AP", True, vbTextCompare)
    P Join(a, ",") & " " & UBound(Filter(Array("apple", "Grape"), "AP"))
    '=> apple,Grape -1
    a = Filter(Array("apple", "banana", "cherry"), "an", False)
    P Join(a, ",")
    '=> apple,cherry
    a = Filter(Array("x", "y"), "z")
    P "no match: " & UBound(a)
    '=> no match: -1

    ' Arrays are assigned by value.
    Dim b
    a = Array(1, 2)
    b = a
    b(0) = 9
    P a(0) & " " & b(0)
    '=> 1 9
    Main = out
End Function
