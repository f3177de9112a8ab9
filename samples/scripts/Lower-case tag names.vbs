' Converts element names in start and end tags to lower case. Attribute names
' and values, comments, CDATA sections, processing instructions and the DOCTYPE
' are left as they are.
Option Explicit

Function Main(text)
    Dim re, matches, m, pieces(), count, last
    Set re = New RegExp
    re.Global = True
    ' Markup that holds no tag name is matched whole and skipped; the last branch
    ' matches the "<" or "</" of a tag and its name.
    re.Pattern = "<!--[\s\S]*?-->|<!\[CDATA\[[\s\S]*?\]\]>|<\?[\s\S]*?\?>|<!DOCTYPE[^\[>]*(\[[\s\S]*?\])?\s*>|(</?)([A-Za-z_][\w.:-]*)"
    Set matches = re.Execute(text)
    ' The result is built from pieces joined once: adding to one string in the
    ' loop would copy the whole text again for every tag.
    ReDim pieces(2 * matches.Count)
    count = 0
    last = 1
    For Each m In matches
        If Not IsEmpty(m.SubMatches(1)) Then
            pieces(count) = Mid(text, last, m.FirstIndex + 1 - last)
            pieces(count + 1) = m.SubMatches(1) & LCase(m.SubMatches(2))
            count = count + 2
            last = m.FirstIndex + m.Length + 1
        End If
    Next
    pieces(count) = Mid(text, last)
    Main = Join(pieces, "")
End Function
