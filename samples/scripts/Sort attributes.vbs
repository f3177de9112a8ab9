' Sorts the attributes of every start tag by name (case-insensitively), keeping
' each attribute's value and quotes as written; namespace declarations come
' first. A tag whose attributes were out of order gets them on one line,
' separated by single spaces; other tags stay exactly as they were.
Option Explicit

Function SortKey(attribute)
    Dim name
    name = LCase(Left(attribute, InStr(attribute, "=") - 1))
    If name = "xmlns" Or Left(name, 6) = "xmlns:" Then SortKey = "0" & name Else SortKey = "1" & name
End Function

Sub SortAttributes(items)
    ' Insertion sort: start tags hold few attributes.
    Dim i, j, current, key
    For i = 1 To UBound(items)
        current = items(i)
        key = SortKey(current)
        j = i - 1
        Do While j >= 0
            If StrComp(SortKey(items(j)), key, vbBinaryCompare) <= 0 Then Exit Do
            items(j + 1) = items(j)
            j = j - 1
        Loop
        items(j + 1) = current
    Next
End Sub

' The tag rebuilt with sorted attributes, or Empty when they are in order.
Function SortedTag(name, attributeText, closing)
    Dim attributeRe, found, items(), i, before
    Set attributeRe = New RegExp
    attributeRe.Global = True
    attributeRe.Pattern = "([^\s=/>]+)\s*=\s*(""[^""]*""|'[^']*')"
    Set found = attributeRe.Execute(attributeText)
    SortedTag = Empty
    If found.Count < 2 Then Exit Function
    ReDim items(found.Count - 1)
    For i = 0 To found.Count - 1
        items(i) = found(i).SubMatches(0) & "=" & found(i).SubMatches(1)
    Next
    before = Join(items, " ")
    SortAttributes items
    If Join(items, " ") <> before Then SortedTag = "<" & name & " " & Join(items, " ") & closing
End Function

Function Main(text)
    Dim re, matches, m, pieces(), count, last, sorted
    Set re = New RegExp
    re.Global = True
    ' Comments, CDATA sections, processing instructions and the DOCTYPE are
    ' matched whole and skipped; the last branch is a start tag with attributes.
    re.Pattern = "<!--[\s\S]*?-->|<!\[CDATA\[[\s\S]*?\]\]>|<\?[\s\S]*?\?>|<!DOCTYPE[^\[>]*(\[[\s\S]*?\])?\s*>|<([A-Za-z_][\w.:-]*)((?:\s+[^\s=/>]+\s*=\s*(?:""[^""]*""|'[^']*'))+)\s*(/?>)"
    Set matches = re.Execute(text)
    ReDim pieces(2 * matches.Count)
    count = 0
    last = 1
    For Each m In matches
        If Not IsEmpty(m.SubMatches(1)) Then
            sorted = SortedTag(m.SubMatches(1), m.SubMatches(2), m.SubMatches(3))
            If Not IsEmpty(sorted) Then
                pieces(count) = Mid(text, last, m.FirstIndex + 1 - last)
                pieces(count + 1) = sorted
                count = count + 2
                last = m.FirstIndex + m.Length + 1
            End If
        End If
    Next
    pieces(count) = Mid(text, last)
    Main = Join(pieces, "")
End Function
