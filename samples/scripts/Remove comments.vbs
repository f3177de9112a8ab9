' Removes every comment from the document. A comment that stands alone on its
' line takes the line with it. Comment-like text inside CDATA sections stays.
Option Explicit

Function Main(text)
    Dim re
    Set re = New RegExp
    re.Global = True
    ' A CDATA section is matched first and put back as it was ($1); a comment,
    ' with the line break and indentation before it when nothing else is on its
    ' line, matches the second branch and leaves nothing.
    re.Pattern = "(<!\[CDATA\[[\s\S]*?\]\]>)|(?:\r?\n[ \t]*(?=<!--[\s\S]*?-->[ \t]*(?:\r?\n|$)))?<!--[\s\S]*?-->"
    Main = re.Replace(text, "$1")
End Function
