' Date functions and date arithmetic, in en-US forms.
Dim out

Sub P(v)
    out = out & v & vbLf
End Sub

Function Main(x)
    out = ""
    On Error Resume Next
    Dim d
    d = #12/8/2026 10:45:30 PM#
    P d & "|" & Year(d) & " " & Month(d) & " " & Day(d) & " " & Hour(d) & " " & Minute(d) & " " & Second(d) & " " & Weekday(d)
    '=> 12/8/2026 10:45:30 PM|2026 12 8 22 45 30 3
    P TypeName(Year(d)) & " " & Weekday(d, vbMonday) & " " & Weekday(d, vbTuesday) & " " & IsNull(Year(Null))
    '=> Integer 2 1 True

    ' CDate and IsDate on the usual en-US forms.
    P CDate("12/8/2026") & "|" & CDate("2026-12-08") & "|" & CDate("December 8, 2026") & "|" & CDate("8 Dec 2026")
    '=> 12/8/2026|12/8/2026|12/8/2026|12/8/2026
    P CDate("10:45") & "|" & CDate("10:45:30 PM") & "|" & CDate("12/8/2026 10:45:00 AM") & "|" & CDate(1.5)
    '=> 10:45:00 AM|10:45:30 PM|12/8/2026 10:45:00 AM|12/31/1899 12:00:00 PM
    P IsDate("12/8/2026") & IsDate("Feb 30, 2026") & IsDate("hello") & IsDate(d) & IsDate("10:45") & IsDate("2026-12-08 10:45")
    '=> TrueFalseFalseTrueTrueTrue
    Err.Clear: x = CDate("not a date"): P "CDate text: " & Err.Number
    '=> CDate text: 13

    ' DateSerial and TimeSerial roll over out-of-range parts.
    P DateSerial(2026, 12, 8) & "|" & DateSerial(2026, 13, 1) & "|" & DateSerial(2026, 3, 0) & "|" & DateSerial(2026, 1, -1)
    '=> 12/8/2026|1/1/2027|2/28/2026|12/30/2025
    P DateSerial(26, 1, 1) & "|" & DateSerial(99, 1, 1) & "|" & DateSerial(2024, 2, 29) & "|" & DateSerial(2026, 0, 1)
    '=> 1/1/2026|1/1/1999|2/29/2024|12/1/2025
    P TimeSerial(10, 45, 0) & "|" & TimeSerial(0, 90, 0) & "|" & TimeSerial(12, 0, -1) & "|" & TimeSerial(25, 0, 0)
    '=> 10:45:00 AM|1:30:00 AM|11:59:59 AM|12/31/1899 1:00:00 AM
    P DateValue("12/8/2026 10:45 PM") & "|" & TimeValue("12/8/2026 10:45 PM") & "|" & TypeName(DateValue("1/1/2026"))
    '=> 12/8/2026|10:45:00 PM|Date

    ' DateAdd clamps to the month's end.
    P DateAdd("m", 1, #1/31/2026#) & "|" & DateAdd("m", 1, #1/31/2024#) & "|" & DateAdd("yyyy", 1, #2/29/2024#) & "|" & DateAdd("q", -1, #5/31/2026#)
    '=> 2/28/2026|2/29/2024|2/28/2025|2/28/2026
    P DateAdd("d", 30, #12/8/2026#) & "|" & DateAdd("ww", 2, #12/8/2026#) & "|" & DateAdd("w", -1, #1/1/2026#) & "|" & DateAdd("y", 1, #12/31/2026#)
    '=> 1/7/2027|12/22/2026|12/31/2025|1/1/2027
    P DateAdd("h", 3, #12/8/2026 10:45:00 PM#) & "|" & DateAdd("n", -50, #12/8/2026 12:30:00 AM#) & "|" & DateAdd("s", 30, #10:59:45 AM#)
    '=> 12/9/2026 1:45:00 AM|12/7/2026 11:40:00 PM|11:00:15 AM
    Err.Clear: x = DateAdd("x", 1, d): P "DateAdd x: " & Err.Number
    '=> DateAdd x: 5

    ' DateDiff counts boundaries crossed.
    P DateDiff("d", #12/8/2026 11:00 PM#, #12/9/2026 1:00 AM#) & " " & DateDiff("h", #10:59 AM#, #11:00 AM#) & " " & DateDiff("yyyy", #12/31/2025#, #1/1/2026#)
    '=> 1 1 1
    P DateDiff("m", #1/31/2026#, #2/1/2026#) & " " & DateDiff("q", #3/31/2026#, #4/1/2026#) & " " & DateDiff("d", #1/10/2026#, #1/1/2026#) & " " & DateDiff("s", #10:00 AM#, #10:01:05 AM#)
    '=> 1 1 -9 65
    P DateDiff("w", #12/1/2026#, #12/15/2026#) & " " & DateDiff("w", #12/1/2026#, #12/14/2026#) & " " & DateDiff("ww", #12/5/2026#, #12/6/2026#) & " " & DateDiff("ww", #12/6/2026#, #12/7/2026#, vbMonday)
    '=> 2 1 1 1
    P DateDiff("n", #10:00 AM#, #9:30 AM#) & " " & TypeName(DateDiff("d", Now, Now)) & " " & IsNull(DateDiff("d", Null, Now))
    '=> -30 Long True

    ' DatePart.
    P DatePart("yyyy", d) & " " & DatePart("q", d) & " " & DatePart("m", d) & " " & DatePart("y", d) & " " & DatePart("d", d) & " " & DatePart("w", d) & " " & DatePart("h", d)
    '=> 2026 4 12 342 8 3 22
    P DatePart("ww", #1/1/2026#) & " " & DatePart("ww", #1/4/2026#) & " " & DatePart("ww", #12/31/2026#) & " " & DatePart("ww", #1/1/2026#, vbMonday, vbFirstFullWeek)
    '=> 1 2 53 52
    P DatePart("ww", #1/5/2026#, vbMonday, vbFirstFourDays) & " " & DatePart("w", d, vbMonday)
    '=> 2 2

    ' Names.
    P MonthName(12) & " " & MonthName(2, True) & " " & WeekdayName(1) & " " & WeekdayName(3, True) & " " & WeekdayName(1, False, vbMonday)
    '=> December Feb Sunday Tue Monday
    Err.Clear: x = MonthName(13): P "MonthName 13: " & Err.Number
    '=> MonthName 13: 5
    Err.Clear: x = WeekdayName(0): P "WeekdayName 0: " & Err.Number
    '=> WeekdayName 0: 5

    ' Date arithmetic.
    P #12/8/2026# + 1 & "|" & #12/8/2026# - 1.5 & "|" & (#12/8/2026# - #12/1/2026#) & "|" & CDbl(#12/8/2026#) & "|" & CDate(0)
    '=> 12/9/2026|12/6/2026 12:00:00 PM|7|46364|12:00:00 AM
    P (#12/8/2026# > #12/7/2026#) & " " & (#12/8/2026# = CDate("2026-12-08")) & " " & TypeName(Now) & " " & (Date <= Now) & " " & TypeName(Timer)
    '=> True True Date True Single
    P CStr(#1/1/100#) & "|" & CStr(#12/31/9999#) & "|" & CStr(#12/29/1899 6:00 AM#) & "|" & CDbl(#12/29/1899 6:00 AM#)
    '=> 1/1/100|12/31/9999|12/29/1899 6:00:00 AM|-1.25
    Main = out
End Function
