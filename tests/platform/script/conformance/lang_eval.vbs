' Eval, Execute and ExecuteGlobal: scopes, "=" as comparison in Eval,
' statements run by Execute, procedures they define.
Dim out, g
Sub Show(s)
    out = out & s & vbLf
End Sub

Function Square(n)
    Square = n * n
End Function

Sub SetLocal()
    Dim loc
    loc = 5
    Execute "loc = loc + 1"
    Show "local " & loc & " " & Eval("loc * 2")
End Sub

Function Main(x)
    Dim a
    a = 3
    Show Eval("a + 4") & " " & Eval("Square(a)") & " " & Eval("a = 3") & " " & Eval("""s"" & a")
    '=> 7 9 True s3
    ' Execute: "=" assigns
    Execute "a = 10"
    Show a
    '=> 10
    Execute "g = ""global"" : a = a + 1"
    Show g & " " & a
    '=> global 11
    SetLocal
    '=> local 6 12
    ExecuteGlobal "Dim madeGlobal" & vbCrLf & "madeGlobal = 7" & vbCrLf & "Sub Hello(n)" & vbCrLf & "  g = ""hello "" & n" & vbCrLf & "End Sub"
    Hello madeGlobal
    Show g
    '=> hello 7
    ' a class defined by ExecuteGlobal
    ExecuteGlobal "Class Pt : Public X : End Class"
    Dim p
    Set p = New Pt
    p.X = 4
    Show Eval("p.X + 1")
    '=> 5
    ' errors inside Eval reach the caller
    On Error Resume Next
    a = Eval("1 / 0")
    Show Err.Number
    '=> 11
    Err.Clear
    a = Eval("(1 + 2")
    Show Err.Number
    '=> 1006
    On Error GoTo 0
    Main = out
End Function
