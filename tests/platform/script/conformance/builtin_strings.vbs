' String functions: lengths, slicing, searching, replacing, case, codes.
Dim out

Sub P(v)
    out = out & v & vbLf
End Sub

Function Main(x)
    out = ""
    On Error Resume Next

    P Len("hello") & " " & Len("") & " " & Len(12345) & " " & Len(-1.5) & " " & IsNull(Len(Null))
    '=> 5 0 5 4 True
    P Left("hello", 2) & "|" & Left("hello", 0) & "|" & Left("hi", 10) & "|" & IsNull(Left(Null, 1))
    '=> he||hi|True
    P Right("hello", 3) & "|" & Right("hello", 9) & "|" & Right(2026, 2)
    '=> llo|hello|26
    P Mid("hello", 2) & "|" & Mid("hello", 2, 3) & "|" & Mid("hello", 9) & "|" & Mid("hello", 5, 9) & "|" & IsNull(Mid(Null, 1))
    '=> ello|ell||o|True
    Err.Clear: x = Mid("abc", 0): P "Mid 0: " & Err.Number
    '=> Mid 0: 5
    Err.Clear: x = Left("abc", -1): P "Left -1: " & Err.Number
    '=> Left -1: 5
    Err.Clear: x = Mid("abc", 1, -1): P "Mid length -1: " & Err.Number
    '=> Mid length -1: 5
    Err.Clear: x = Left("abc", Null): P "Left Null: " & Err.Number
    '=> Left Null: 94

    ' InStr: the two-argument form, a start, text compare, Null and empty rules.
    P InStr("hello", "l") & " " & InStr(4, "hello", "l") & " " & InStr(5, "hello", "l") & " " & InStr("hello", "z")
    '=> 3 4 0 0
    P InStr(1, "Hello", "h") & " " & InStr(1, "Hello", "h", 1) & " " & InStr(1, "HELLO", "lo", vbTextCompare)
    '=> 0 1 4
    P InStr("abc", "") & " " & InStr(2, "abc", "") & " " & InStr("", "a") & " " & InStr(9, "abc", "a")
    '=> 1 2 0 0
    P IsNull(InStr(Null, "a")) & " " & IsNull(InStr("a", Null)) & " " & TypeName(InStr("a", "a"))
    '=> True True Long
    Err.Clear: x = InStr(0, "abc", "a"): P "InStr 0: " & Err.Number
    '=> InStr 0: 5
    P InStrRev("hello", "l") & " " & InStrRev("hello", "l", 3) & " " & InStrRev("hello", "l", 2) & " " & InStrRev("Hello", "H", -1, 1)
    '=> 4 3 0 1
    P InStrRev("abcabc", "abc") & " " & InStrRev("abc", "", 2) & " " & InStrRev("", "a") & " " & InStrRev("abc", "c", 9)
    '=> 4 2 0 0

    ' Replace: start drops what comes before it; count; text compare.
    P Replace("aaa", "a", "b") & "|" & Replace("abcabc", "b", "") & "|" & Replace("abc", "", "x")
    '=> bbb|acac|abc
    P Replace("abcabc", "b", "X", 3) & "|" & Replace("abcabc", "b", "X", 1, 1) & "|" & Replace("abc", "a", "b", 9)
    '=> caXc|aXcabc|
    P Replace("AbAB", "ab", "x", 1, -1, vbTextCompare) & "|" & Replace("AbAB", "ab", "x") & "|" & Replace("aaaa", "aa", "a")
    '=> xx|AbAB|aa
    P Replace("a.b.c", ".", "--") & "|" & Replace(12321, 2, 0) & "|" & Replace("abc", "b", "B", 1, 0)
    '=> a--b--c|10301|abc
    Err.Clear: x = Replace("abc", "a", "b", 0): P "Replace start 0: " & Err.Number
    '=> Replace start 0: 5
    Err.Clear: x = Replace(Null, "a", "b"): P "Replace Null: " & Err.Number & " " & Err.Description
    '=> Replace Null: 94 Invalid use of Null
    Err.Clear: x = Replace("abc", Null, "b"): P "Replace Null find: " & Err.Number
    '=> Replace Null find: 94

    P LCase("HeLLo ÄÖ") & "|" & UCase("hello äö") & "|" & IsNull(UCase(Null)) & "|" & UCase(1.5)
    '=> hello äö|HELLO ÄÖ|True|1.5
    P "[" & LTrim("  a b  ") & "][" & RTrim("  a b  ") & "][" & Trim("  a b  ") & "][" & Trim(vbTab & "x ") & "]"
    '=> [a b  ][  a b][a b][	x]
    P "[" & Space(3) & "]" & String(3, "xy") & String(2, 65) & String(0, "z") & "|" & Len(Space(0))
    '=> [   ]xxxAA|0
    Err.Clear: x = Space(-1): P "Space -1: " & Err.Number
    '=> Space -1: 5
    P StrReverse("abc") & "|" & StrReverse("") & "|" & StrComp("a", "b") & StrComp("b", "a") & StrComp("a", "a")
    '=> cba||-110
    P StrComp("A", "a") & " " & StrComp("A", "a", 1) & " " & StrComp("a", "B", vbTextCompare) & " " & IsNull(StrComp(Null, "a"))
    '=> -1 0 -1 True

    ' Character codes.
    P Asc("A") & " " & Asc("abc") & " " & AscW("€") & " " & Asc("€") & " " & AscB("A") & " " & AscW(ChrW(-1))
    '=> 65 97 8364 128 65 -1
    P Chr(65) & Chr(97) & "|" & AscW(Chr(128)) & "|" & ChrW(8364) & "|" & Len(Chr(0)) & "|" & ChrW(65)
    '=> Aa|8364|€|1|A
    Err.Clear: x = Asc(""): P "Asc empty: " & Err.Number
    '=> Asc empty: 5
    Err.Clear: x = Chr(-1): P "Chr -1: " & Err.Number
    '=> Chr -1: 5
    Err.Clear: x = Chr(256): P "Chr 256: " & Err.Number
    '=> Chr 256: 5
    Err.Clear: x = ChrW(65536): P "ChrW 65536: " & Err.Number
    '=> ChrW 65536: 5

    ' Escape leaves letters, digits and @*_+-./ alone.
    P Escape("a b&c/d?é€") & "|" & Unescape("a%20b%26c%u20AC%zz%4") & "|" & Unescape(Escape("x=1;y=ü"))
    '=> a%20b%26c/d%3F%E9%u20AC|a b&c€%zz%4|x=1;y=ü
    P Escape("AZaz09@*_+-./")
    '=> AZaz09@*_+-./

    ' Null goes through & as an empty string; Null & Null is Null.
    P "a" & Null & "b" & "|" & IsNull(Null & Null) & "|" & TypeName(Null & "")
    '=> ab|True|String
    Main = out
End Function
