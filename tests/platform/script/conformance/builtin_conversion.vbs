' Conversion functions, number texts, rounding, and the coercions operators make.
Dim out

Sub P(v)
    out = out & v & vbLf
End Sub

Function T(v)
    T = TypeName(v) & " " & v
End Function

Function Main(x)
    out = ""
    On Error Resume Next

    ' Banker's rounding in CInt, CLng, CByte and Round.
    P CInt(0.5) & " " & CInt(1.5) & " " & CInt(2.5) & " " & CInt(-2.5) & " " & CLng(3.5) & " " & CByte(254.5)
    '=> 0 2 2 -2 4 254
    P Round(2.5) & " " & Round(3.5) & " " & Round(-0.5) & " " & Round(1.2345, 2) & " " & Round(1.005, 1) & " " & Round(12.5, 0)
    '=> 2 4 0 1.23 1 12
    P T(Round(7)) & "|" & T(Round(2.567, 2)) & "|" & T(Round(CCur(2.55), 1))
    '=> Integer 7|Double 2.57|Currency 2.6
    P T(Round(True)) & "|" & VarType(Round(False)) & "|" & T(Round(Empty)) & "|" & T(Round(CByte(7)))
    '=> Boolean True|11|Integer 0|Byte 7
    Err.Clear: x = CInt(32767.5): P "CInt overflow: " & Err.Number
    '=> CInt overflow: 6
    Err.Clear: x = CByte(-1): P "CByte -1: " & Err.Number
    '=> CByte -1: 6
    Err.Clear: x = CLng("abc"): P "CLng text: " & Err.Number
    '=> CLng text: 13
    Err.Clear: x = CInt(Null): P "CInt Null: " & Err.Number
    '=> CInt Null: 94
    Err.Clear: x = Round(1.5, -1): P "Round -1: " & Err.Number
    '=> Round -1: 5

    ' CBool.
    P CBool("True") & CBool("false") & CBool("TRUE") & CBool(5) & CBool(0) & CBool("0") & CBool("-1.5") & CBool(Empty)
    '=> TrueFalseTrueTrueFalseFalseTrueFalse
    Err.Clear: x = CBool("yes"): P "CBool yes: " & Err.Number
    '=> CBool yes: 13

    ' CStr of numbers: 15 significant digits, exponents, Single's 7 digits, Currency.
    P CStr(1 / 3) & " " & CStr(1E+20) & " " & CStr(0.00000015) & " " & CStr(-0.5) & " " & CStr(100000 * 100000)
    '=> 0.333333333333333 1E+20 1.5E-07 -0.5 10000000000
    P CStr(CSng(1 / 3)) & " " & CStr(CCur(1.23456)) & " " & CStr(CCur(10)) & " " & CStr(123456789012345678) & " " & CStr(0.1 + 0.2)
    '=> 0.3333333 1.2346 10 1.23456789012346E+17 0.3
    P CStr(True) & " " & CStr(Empty) & "|" & CDbl("1,000.5") & " " & CDbl("&HFF") & " " & CDbl(" -1e3 ") & " " & CLng("&O17")
    '=> True |1000.5 255 -1000 15
    Err.Clear: x = CStr(Null): P "CStr Null: " & Err.Number
    '=> CStr Null: 94

    ' Hex and Oct: Integers in 16 bits, Longs in 32.
    P Hex(255) & " " & Hex(-1) & " " & Hex(CLng(-1)) & " " & Hex(65536) & " " & Hex(0) & " " & Oct(8) & " " & Oct(-1) & " " & IsNull(Hex(Null))
    '=> FF FFFF FFFFFFFF 10000 0 10 177777 True
    ' Int rounds down, Fix toward zero; both keep the type.
    P Int(2.7) & " " & Int(-2.7) & " " & Fix(-2.7) & " " & TypeName(Int(2.7)) & " " & TypeName(Fix(5)) & " " & TypeName(Int("2.5"))
    '=> 2 -3 -2 Double Integer Double
    P Abs(-3) & " " & TypeName(Abs(-3)) & " " & Abs(-2.5) & " " & Sgn(-7) & Sgn(0) & Sgn(3.2) & " " & TypeName(Abs(-32768))
    '=> 3 Integer 2.5 -101 Long

    ' Operator result types and overflow promotion.
    P T(1 + 1) & "|" & T(32767 + 1) & "|" & T(2147483647 + 1) & "|" & T(300 * 300) & "|" & T(True + True)
    '=> Integer 2|Long 32768|Double 2147483648|Long 90000|Integer -2
    P T("1" + "2") & "|" & T("1" + 2) & "|" & T(Empty + 1) & "|" & T(Empty + "x") & "|" & T(1 / 2) & "|" & T(4 / 2)
    '=> String 12|Double 3|Integer 1|String x|Double 0.5|Double 2
    P T(7 \ 2) & "|" & T(-7 \ 2) & "|" & T(7.5 \ 2) & "|" & T(7 Mod 3) & "|" & T(-7 Mod 3) & "|" & T(5.5 Mod 2)
    '=> Integer 3|Integer -3|Long 4|Integer 1|Integer -1|Long 0
    P T(2 ^ 10) & "|" & T(-(-32768)) & "|" & T(CByte(200) + CByte(55)) & "|" & T(CByte(200) + CByte(56)) & "|" & T(CSng(1.5) + 1)
    '=> Double 1024|Long 32768|Byte 255|Integer 256|Single 2.5
    P T(1 & 2) & "|" & T(CCur(1.5) * 2) & "|" & T(#1/1/2026# + 1) & "|" & T(#1/3/2026# - #1/1/2026#)
    '=> String 12|Currency 3|Date 1/2/2026|Double 2
    Err.Clear: x = "a" + 1: P "string + number: " & Err.Number
    '=> string + number: 13
    Err.Clear: x = 1 / 0: P "1/0: " & Err.Number
    '=> 1/0: 11
    Err.Clear: x = 5 Mod 0: P "Mod 0: " & Err.Number
    '=> Mod 0: 11
    Err.Clear: x = 5 \ 0.4: P "backslash 0.4: " & Err.Number
    '=> backslash 0.4: 11

    ' Null through arithmetic and logic.
    P IsNull(Null + 1) & IsNull(1 - Null) & IsNull(Null * 0) & IsNull(-Null) & IsNull(Not Null) & IsNull(Null = Null)
    '=> TrueTrueTrueTrueTrueTrue
    P T(False And Null) & "|" & IsNull(True And Null) & "|" & T(True Or Null) & "|" & IsNull(False Or Null) & "|" & T(False Imp Null)
    '=> Boolean False|True|Boolean True|True|Boolean True
    P T(Not True) & "|" & T(Not 0) & "|" & T(12 And 10) & "|" & T(12 Or 3) & "|" & T(6 Xor 3) & "|" & T(True And 7)
    '=> Boolean False|Integer -1|Integer 8|Integer 15|Integer 5|Integer 7

    ' IsNumeric.
    P IsNumeric("12") & IsNumeric(" 1.5e3 ") & IsNumeric("&HFF") & IsNumeric("1,000") & IsNumeric("abc") & IsNumeric("") & IsNumeric(Empty) & IsNumeric(Null) & IsNumeric(Now)
    '=> TrueTrueTrueTrueFalseFalseTrueFalseFalse
    Main = out
End Function
