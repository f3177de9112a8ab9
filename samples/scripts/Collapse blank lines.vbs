' Collapses each run of blank lines (lines holding only spaces and tabs) into
' one empty line, and drops blank lines at the end of the document.
Option Explicit

Function Main(text)
    Dim lines, out(), count, i, blank, previousBlank
    lines = Split(text, vbCrLf)
    ReDim out(UBound(lines))
    count = 0
    previousBlank = True ' no blank line at the very start either
    For i = 0 To UBound(lines)
        blank = (Len(Trim(Replace(lines(i), vbTab, " "))) = 0)
        If Not (blank And previousBlank) Then
            If blank Then out(count) = "" Else out(count) = lines(i)
            count = count + 1
        End If
        previousBlank = blank
    Next
    If count > 0 Then
        If out(count - 1) = "" Then count = count - 1
    End If
    If count = 0 Then
        Main = ""
        Exit Function
    End If
    ReDim Preserve out(count - 1)
    Main = Join(out, vbCrLf)
End Function
