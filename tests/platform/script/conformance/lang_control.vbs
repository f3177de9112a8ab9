' Control flow: If forms, Select Case, For/Step, For Each, Do forms, While,
' Exit, With, line continuation, ":" separators, comments, literals.
Dim out
Sub Show(s)
    out = out & s & vbLf
End Sub

Class Box
    Public Width, Height
    Public Inner
End Class

Function Classify(v)
    Select Case v
        Case 1, 2, 3
            Classify = "small"
        Case 4 To 6
            Classify = "middle"
        Case "x"
            Classify = "letter"
        Case Is >= 100
            Classify = "huge"
        Case Else
            Classify = "other"
    End Select
End Function

Function Main(x)
    Dim i, s, n, a, b
    ' Block If with ElseIf and Else
    For i = 1 To 4
        If i = 1 Then
            s = "one"
        ElseIf i = 2 Then
            s = "two"
        ElseIf i = 3 Then s = "three"
        Else
            s = "many"
        End If
        Show s
    Next
    '=> one
    '=> two
    '=> three
    '=> many

    ' One-line If with ":" statements and Else
    n = 0
    If n = 0 Then n = 1: s = "then" Else n = 2: s = "else"
    Show n & " " & s
    '=> 1 then
    If n = 0 Then n = 1: s = "then" Else n = 2: s = "else"
    Show n & " " & s
    '=> 2 else
    ' Null conditions are false
    If Null Then Show "null true" Else Show "null false"
    '=> null false

    Show Classify(2) & " " & Classify(5) & " " & Classify(250) & " " & Classify("x") & " " & Classify(7)
    '=> small middle huge letter other

    ' For with negative step; the counter is past the end afterwards
    s = ""
    For i = 10 To 1 Step -3
        s = s & i & ","
    Next
    Show s & " after " & i
    '=> 10,7,4,1, after -2
    ' Bounds are evaluated once
    n = 3
    s = ""
    For i = 1 To n
        n = 10
        s = s & i
    Next
    Show s
    '=> 123
    ' Fractional step
    s = ""
    For i = 0 To 1 Step 0.25
        s = s & i & " "
    Next
    Show s
    '=> 0 0.25 0.5 0.75 1 
    ' A loop that never runs leaves the counter at the start
    For i = 5 To 1
        Show "never"
    Next
    Show i
    '=> 5

    ' Exit For and Exit Do leave only the innermost loop
    s = ""
    For i = 1 To 3
        n = 0
        Do
            n = n + 1
            If n = 2 Then Exit Do
        Loop
        If i = 3 Then Exit For
        s = s & i & n
    Next
    Show s & " " & i
    '=> 1222 3

    ' Do forms
    n = 0
    Do While n < 5
        n = n + 1
    Loop
    Show n
    '=> 5
    Do Until n = 0
        n = n - 2
        If n < 0 Then Exit Do
    Loop
    Show n
    '=> -1
    n = 10
    Do
        n = n + 1
    Loop While n < 5
    Show n
    '=> 11
    Do
        n = n - 1
    Loop Until n <= 8
    Show n
    '=> 8
    While n > 5
        n = n - 1
    Wend
    Show n
    '=> 5
    ' Exit Do inside While/Wend leaves the enclosing Do
    Do
        While True
            n = n + 1
            If n = 7 Then Exit Do
        Wend
        n = 100
    Loop
    Show n
    '=> 7

    ' For Each over an array goes in storage order
    a = Array("a", "b", "c")
    s = ""
    For Each b In a
        s = s & b
    Next
    Show s
    '=> abc

    ' With, nested, and assignment through it
    Dim bx
    Set bx = New Box
    Set bx.Inner = New Box
    With bx
        .Width = 3
        .Height = .Width * 2
        With .Inner
            .Width = 7
        End With
        Show .Width & "x" & .Height & " inner " & .Inner.Width
    End With
    '=> 3x6 inner 7

    ' Line continuation, Rem and ' comments, [bracketed] names
    s = "con" & _
        "tinued" Rem a comment
    Dim [my var]
    [my var] = 42 ' another comment
    Show s & " " & [my var]
    '=> continued 42

    ' Literals: hex, octal, floats with exponents, dates, doubled quotes
    Show &HFF & " " & &H10& & " " & &O17 & " " & &HFFFF & " " & 1.5E3 & " " & 2.5e-1
    '=> 255 16 15 -1 1500 0.25
    Show TypeName(32767) & " " & TypeName(32768) & " " & TypeName(2147483648) & " " & TypeName(&HFFFF&)
    '=> Integer Long Double Long
    Show "say ""hi""" & " " & Year(#2024-02-29#) & " " & Month(#3/15/2001#)
    '=> say "hi" 2024 3

    ' Operator precedence: a sign binds tighter than ^, which chains to the left
    Show -2 ^ 2 & " " & 2 ^ -1 & " " & 2 + 3 * 4 & " " & 7 \ 2 * 2 & " " & 10 Mod 3 + 1 & " " & 2 ^ 3 ^ 2
    '=> 4 0.5 14 1 2 64
    Show 0 - 2 ^ 2 & " " & -2 ^ 3 & " " & 2 ^ -2 ^ 2 & " " & - -3 ^ 2 & " " & -(2 ^ 2)
    '=> -4 -8 0.0625 9 -4
    Show (1 + 2 & 3) & " " & (Not 1 = 2) & " " & (True Or False And False) & " " & (5 > 3 = True)
    '=> 33 True True True
    Show (3 Xor 5) & " " & (True Eqv False) & " " & (False Imp True) & " " & (6 And 3) & " " & (Not 0)
    '=> 6 False True 2 -1

    ' A number against a string: a literal on either side is read as a number
    ' when it can be; two variables compare by kind (the number is less).
    Dim num, txt
    num = 5 : txt = "5"
    Show (num = "5") & " " & (5 = txt) & " " & (num = txt) & " " & (num < "10") & " " & (num < txt) & " " & (num = "five")
    '=> True True False True True False
    Select Case num
        Case "4" : Show "four"
        Case "5" : Show "five"
        Case Else : Show "other"
    End Select
    '=> five
    Main = out
End Function
