' FormatNumber, FormatCurrency, FormatPercent and FormatDateTime (en-US).
Dim out

Sub P(v)
    out = out & v & vbLf
End Sub

Function Main(x)
    out = ""
    On Error Resume Next
    P FormatNumber(1234.5) & "|" & FormatNumber(1234.5678, 3) & "|" & FormatNumber(0.5) & "|" & FormatNumber(-1234567.891, 0) & "|" & FormatNumber(0)
    '=> 1,234.50|1,234.568|0.50|-1,234,568|0.00
    P FormatNumber(0.5, 2, vbFalse) & "|" & FormatNumber(-5, 1, , vbTrue) & "|" & FormatNumber(1234567, 2, , , vbFalse) & "|" & FormatNumber("12.3", 2)
    '=> .50|(5.0)|1234567.00|12.30
    P FormatNumber(2.5, 0) & "|" & FormatNumber(1E+15, 0) & "|" & FormatNumber(-0.5, 2, vbFalse) & "|" & FormatNumber(True)
    '=> 3|1,000,000,000,000,000|-.50|-1.00
    P FormatCurrency(1234.5) & "|" & FormatCurrency(-1234.5) & "|" & FormatCurrency(-1234.5, 2, , vbFalse) & "|" & FormatCurrency(0.125, 2) & "|" & FormatCurrency(5, 0)
    '=> $1,234.50|($1,234.50)|-$1,234.50|$0.13|$5
    P FormatPercent(0.5) & "|" & FormatPercent(0.12345, 1) & "|" & FormatPercent(-0.25, 0) & "|" & FormatPercent(12.5, 0) & "|" & FormatPercent(-0.25, 0, , vbTrue)
    '=> 50.00%|12.3%|-25%|1,250%|(25%)
    Err.Clear: x = FormatNumber("abc"): P "FormatNumber text: " & Err.Number
    '=> FormatNumber text: 13

    Dim d
    d = #12/8/2026 10:45:00 AM#
    P FormatDateTime(d) & "|" & FormatDateTime(d, vbLongDate) & "|" & FormatDateTime(d, vbShortDate)
    '=> 12/8/2026 10:45:00 AM|Tuesday, December 8, 2026|12/8/2026
    P FormatDateTime(d, vbLongTime) & "|" & FormatDateTime(d, vbShortTime) & "|" & FormatDateTime(#9:05:00 PM#, 4) & "|" & FormatDateTime(#1/1/2026#, 0)
    '=> 10:45:00 AM|10:45|21:05|1/1/2026
    P FormatDateTime("2026-03-01", vbLongDate) & "|" & FormatDateTime(#10:45:00 AM#, vbGeneralDate)
    '=> Sunday, March 1, 2026|10:45:00 AM
    Err.Clear: x = FormatDateTime(d, 5): P "FormatDateTime 5: " & Err.Number
    '=> FormatDateTime 5: 5
    Main = out
End Function
