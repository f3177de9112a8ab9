' RegExp: Replace with groups, Execute / Matches / SubMatches, Global,
' IgnoreCase, Multiline, FirstIndex.
Dim out
Sub Show(s)
    out = out & s & vbLf
End Sub

Function Main(x)
    Dim re, m, ms, s, i
    Set re = New RegExp
    Show TypeName(re)
    '=> IRegExp2
    Show re.Global & " " & re.IgnoreCase & " " & re.Multiline & " [" & re.Pattern & "]"
    '=> False False False []

    re.Pattern = "(\w+)\s(\w+)"
    Show re.Replace("John Smith", "$2, $1")
    '=> Smith, John
    Show re.Replace("one two three four", "$2-$1")
    '=> two-one three four
    re.Global = True
    Show re.Replace("one two three four", "$2-$1")
    '=> two-one four-three
    Show re.Replace("ab cd", "[$&] $$ $9")
    '=> [ab cd] $ $9
    re.Pattern = "b"
    Show re.Replace("abc", "<$`|$'>")
    '=> a<a|c>c

    re.Pattern = "o"
    re.Global = False
    Show re.Replace("foo", "0")
    '=> f0o
    re.Global = True
    Show re.Replace("foo", "0")
    '=> f00

    ' IgnoreCase
    re.Pattern = "hello"
    Show re.Test("Say HELLO")
    '=> False
    re.IgnoreCase = True
    Show re.Test("Say HELLO")
    '=> True

    ' Multiline: ^ and $ at line ends
    re.IgnoreCase = False
    re.Pattern = "^\d+$"
    s = "12" & vbCrLf & "ab" & vbLf & "345"
    Show re.Execute(s).Count
    '=> 0
    re.Multiline = True
    Set ms = re.Execute(s)
    Show ms.Count & " " & ms(0) & " " & ms(1).Value & " " & ms(1).FirstIndex
    '=> 2 12 345 7

    ' Execute, Matches, Match, SubMatches
    re.Multiline = False
    re.Pattern = "(\d+)-(\d+)?"
    Set ms = re.Execute("a 10-20 b 3- c")
    Show TypeName(ms) & " " & ms.Count
    '=> IMatchCollection2 2
    For Each m In ms
        Show m.Value & " at " & m.FirstIndex & " len " & m.Length & " groups " & m.SubMatches.Count
    Next
    '=> 10-20 at 2 len 5 groups 2
    '=> 3- at 10 len 2 groups 2
    Set m = ms.Item(1)
    Show "[" & m.SubMatches(0) & "] " & IsEmpty(m.SubMatches(1)) & " " & TypeName(m)
    '=> [3] True IMatch2
    For Each s In ms(0).SubMatches
        Show "sub " & s
    Next
    '=> sub 10
    '=> sub 20

    ' Without Global, one match
    re.Global = False
    Show re.Execute("1-2 3-4").Count
    '=> 1
    re.Global = True

    ' Empty matches advance one character
    re.Pattern = "x*"
    Show re.Replace("abc", "-")
    '=> -a-b-c-
    Show re.Execute("ab").Count
    '=> 3

    ' FirstIndex counts from 0 in characters
    re.Pattern = "c"
    Show re.Execute("abcabc")(1).FirstIndex
    '=> 5

    ' Escapes and classes
    re.Pattern = "\x41\u0042[^a]\.\d"
    Show re.Test("ABC.5")
    '=> True
    re.Pattern = "a.c"
    Show re.Test("a" & vbLf & "c") & " " & re.Test("a-c")
    '=> False True

    ' Errors
    On Error Resume Next
    re.Pattern = "(unclosed"
    s = re.Test("x")
    Show Err.Number & " " & Err.Description
    '=> 5017 Syntax error in regular expression
    Err.Clear
    Show re.Execute("x").Count
    Show Err.Number
    '=> 5017
    On Error GoTo 0

    Main = out
End Function
