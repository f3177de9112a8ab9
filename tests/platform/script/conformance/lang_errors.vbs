' Errors: On Error Resume Next and GoTo 0, the Err object, Err.Raise,
' errors crossing procedure calls, constants, Option Explicit through Execute.
Dim out
Sub Show(s)
    out = out & s & vbLf
End Sub

Sub Fails()
    Dim z
    z = 1 / 0
    Show "not reached"
End Sub

Sub Handles()
    On Error Resume Next
    Dim z
    z = 1 / 0
    Show "handled " & Err.Number
End Sub

Function Inner()
    Err.Raise 1000 + 5, "MySource", "custom text"
    Inner = "not reached"
End Function

Function Outer()
    Outer = "before"
    Outer = Inner()
End Function

Const GlobalConst = 42

' a procedure sees constants declared after it in the code
Function UsesLaterConst()
    UsesLaterConst = LaterConst
End Function
Dim early
early = UsesLaterConst()
Const LaterConst = -7

Function Main(x)
    Dim v, s
    Const LocalConst = "lc"
    On Error Resume Next
    v = 1 / 0
    Show Err.Number & " " & Err.Description & " | " & Err.Source
    '=> 11 Division by zero | Microsoft VBScript runtime error
    Err.Clear
    Show Err.Number & " [" & Err.Description & "]"
    '=> 0 []

    ' the statement after the call runs; the rest of the failing Sub does not
    Fails
    Show "after Fails " & Err.Number
    '=> after Fails 11
    Err.Clear
    Handles
    '=> handled 11

    ' Err.Raise of a user number keeps its source and description
    s = Outer()
    Show Err.Number & " " & Err.Source & " " & Err.Description & " [" & s & "]"
    '=> 1005 MySource custom text []
    Err.Clear
    Err.Raise 9
    Show Err.Number & " " & Err.Description
    '=> 9 Subscript out of range
    Err.Raise 457
    Show Err.Number & " " & Err.Description
    '=> 457 This key is already associated with an element of this collection
    Err.Raise vbObjectError + 1, , "object error"
    Show Err.Number & " " & Err.Description
    '=> -2147221503 object error
    ' Err.Number is the default member
    Show Err
    '=> -2147221503

    ' an error in an If condition goes on into the Then block
    Err.Clear
    If 1 / 0 = 5 Then
        Show "inside then " & Err.Number
    Else
        Show "inside else"
    End If
    '=> inside then 11

    ' On Error GoTo 0 clears Err and stops resuming
    On Error GoTo 0
    Show Err.Number
    '=> 0

    ' constants are read-only
    On Error Resume Next
    GlobalConst = 1
    Show Err.Number & " " & GlobalConst & " " & early
    '=> 501 42 -7
    Err.Clear
    LocalConst = "x"
    Show Err.Number & " " & LocalConst
    '=> 501 lc
    Err.Clear
    vbCrLf = "x"
    Show Err.Number
    '=> 501
    Err.Clear

    ' type and range errors
    v = "abc" * 2
    Show Err.Number
    '=> 13
    Err.Clear
    Dim arr(2)
    v = arr(5)
    Show Err.Number
    '=> 9
    Err.Clear
    ReDim arr(4)
    Show Err.Number
    '=> 10
    Err.Clear
    v = Nothing
    Show Err.Number
    '=> 91
    Err.Clear
    Dim o
    v = o.Member
    Show Err.Number
    '=> 424
    Err.Clear

    ' Option Explicit in executed code: undeclared names fail (Err.Description
    ' does not name the variable)
    ExecuteGlobal "Option Explicit" & vbLf & "undeclaredName = 1"
    Show Err.Number & " " & Err.Description
    '=> 500 Variable is undefined
    Err.Clear
    ExecuteGlobal "Option Explicit" & vbLf & "x = undeclaredRead + 1"
    Show Err.Number & " " & Err.Description
    '=> 500 Variable is undefined
    Err.Clear
    ' a syntax error in executed code
    Execute "x = (1"
    Show Err.Number & " " & Err.Description
    '=> 1006 Expected ')'
    On Error GoTo 0
    Main = out
End Function
