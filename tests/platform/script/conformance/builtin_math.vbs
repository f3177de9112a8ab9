' Maths functions and the random generator.
Dim out

Sub P(v)
    out = out & v & vbLf
End Sub

Function Main(x)
    out = ""
    On Error Resume Next
    P Sqr(16) & " " & Sqr(2) & " " & Exp(0) & " " & Log(1) & " " & Round(Log(Exp(2)), 10) & " " & TypeName(Sqr(4))
    '=> 4 1.4142135623731 1 0 2 Double
    P Round(Atn(1) * 4, 12) & " " & Cos(0) & " " & Sin(0) & " " & Round(Tan(Atn(1)), 12) & " " & Round(Sin(Atn(1) * 2), 12)
    '=> 3.14159265359 1 0 1 1
    P Abs(-1.5) & " " & Sgn(-0.1) & " " & Int(-0.5) & " " & Fix(-0.5) & " " & (2 ^ 0.5 = Sqr(2)) & " " & 2 ^ -1 & " " & (-8) ^ (1 / 1)
    '=> 1.5 -1 -1 0 True 0.5 -8
    Err.Clear: x = Sqr(-1): P "Sqr -1: " & Err.Number
    '=> Sqr -1: 5
    Err.Clear: x = Log(0): P "Log 0: " & Err.Number
    '=> Log 0: 5
    Err.Clear: x = Log(-1): P "Log -1: " & Err.Number
    '=> Log -1: 5
    Err.Clear: x = Exp(1000): P "Exp 1000: " & Err.Number
    '=> Exp 1000: 6
    Err.Clear: x = Sqr("x"): P "Sqr text: " & Err.Number
    '=> Sqr text: 13
    P Sqr("9") & " " & (Exp(True) = Exp(-1)) & " " & TypeName(Sqr(CInt(4)))
    '=> 3 True Double

    ' The generator: Rnd(negative) reseeds, Rnd(0) repeats, the range is [0, 1).
    Dim a, b, c, i, ok
    a = Rnd(-5)
    b = Rnd
    c = Rnd(0)
    P TypeName(a) & " " & (Rnd(-5) = a) & " " & (Rnd = b) & " " & (c = b)
    '=> Single True True True
    ' Rnd with a negative number just before Randomize with a number repeats a sequence.
    x = Rnd(-1)
    Randomize 42
    a = Rnd
    b = Rnd
    x = Rnd(-1)
    Randomize 42
    P "Randomize with a number is repeatable: " & (Rnd = a And Rnd = b)
    '=> Randomize with a number is repeatable: True
    ok = True
    For i = 1 To 1000
        a = Rnd
        If a < 0 Or a >= 1 Then ok = False
    Next
    P "in range: " & ok
    '=> in range: True
    ok = True
    Randomize
    For i = 1 To 200
        a = Int(6 * Rnd + 1)
        If a < 1 Or a > 6 Then ok = False
    Next
    P "dice: " & ok
    '=> dice: True
    Main = out
End Function
