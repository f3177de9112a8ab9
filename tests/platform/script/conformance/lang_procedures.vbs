' Procedures: ByRef and ByVal corners, return values, recursion, Exit,
' calls with and without parentheses, Call, GetRef, Execute-defined procedures.
Dim out, counter
Sub Show(s)
    out = out & s & vbLf
End Sub

Sub Bump(n)
    n = n + 1
End Sub

Sub BumpVal(ByVal n)
    n = n + 1
End Sub

Sub Swap(a, b)
    Dim t
    t = a: a = b: b = t
End Sub

Function Fact(n)
    If n <= 1 Then
        Fact = 1
        Exit Function
    End If
    Fact = n * Fact(n - 1)
End Function

Function Fib(n)
    If n < 2 Then Fib = n Else Fib = Fib(n - 1) + Fib(n - 2)
End Function

Function Hex(n)
    Hex = "mine " & n
End Function

Function NoResult()
End Function

Sub Count()
    counter = counter + 1
End Sub

Function Twice(ByVal s)
    s = s & s
    Twice = s
End Function

Sub Fill(arr)
    arr(0) = "filled"
End Sub

Sub Replace0(arr)
    arr = Array("new")
End Sub

Function Implicit()
    total = 0
    For k = 1 To 3
        total = total + k
    Next
    Implicit = total
End Function

Sub EarlyExit(ByRef log)
    log = log & "a"
    Exit Sub
    log = log & "b"
End Sub

Function Main(x)
    Dim v, w, a, r
    v = 1
    Bump v
    Show v
    '=> 2
    Call Bump(v)
    Show v
    '=> 3
    ' parentheses around the argument pass a copy
    Bump (v)
    Show v
    '=> 3
    Bump(v)
    Show v
    '=> 3
    ' ... but not around a list: that needs Call
    On Error Resume Next
    Execute "Swap(v, w)"
    Show Err.Number & " " & Err.Description
    '=> 1044 Cannot use parentheses when calling a Sub
    Err.Clear
    Execute "Show(v, w)"
    Show Err.Number
    '=> 1044
    Err.Clear
    On Error GoTo 0
    w = 4
    Call Swap(v, w)
    Swap (v), w
    Show v & " " & w
    '=> 4 4
    v = 3
    BumpVal v
    Show v
    '=> 3
    ' an expression is passed as a copy
    Bump v + 0
    Show v
    '=> 3
    w = 9
    Swap v, w
    Show v & " " & w
    '=> 9 3
    ' array elements go by reference
    a = Array(1, 2, 3)
    Bump a(1)
    Swap a(0), a(2)
    Show Join(a, ",")
    '=> 3,3,1
    ' arrays are passed by reference, ByVal copies
    Fill a
    Show a(0)
    '=> filled
    Replace0 a
    Show UBound(a) & " " & a(0)
    '=> 0 new

    Show Fact(10) & " " & Fib(15)
    '=> 3628800 610
    Show IsEmpty(NoResult()) & " " & Twice("ab") & " " & Twice(Twice("x"))
    '=> True abab xxxx
    ' a Sub without arguments called without and with Call
    counter = 0
    Count
    Call Count
    Count()
    Show counter
    '=> 3
    ' undeclared variables in a procedure are its own locals
    Show Implicit() & " " & IsEmpty(total) & " " & IsEmpty(k)
    '=> 6 True True
    r = ""
    EarlyExit r
    Show r
    '=> a

    ' GetRef: a procedure by name, called through the reference
    Dim f
    Set f = GetRef("Fact")
    Show f(5)
    '=> 120
    ' ExecuteGlobal defines a procedure the rest of the script can call
    ExecuteGlobal "Function Triple(n) : Triple = 3 * n : End Function"
    Show Triple(7)
    '=> 21
    ' a script procedure may take a built-in's name and wins
    Show Hex(255)
    '=> mine 255

    ' wrong argument count
    On Error Resume Next
    Bump
    Show Err.Number
    '=> 450
    Err.Clear
    r = Fact(1, 2)
    Show Err.Number
    '=> 450
    Err.Clear
    ' calling an undefined procedure
    NoSuchThing 1
    Show Err.Number & " " & Err.Description
    '=> 13 Type mismatch
    Err.Clear
    r = NoSuchFunction(1)
    Show Err.Number
    '=> 13
    On Error GoTo 0
    Main = out
End Function
