' Type tests, TypeName, VarType, comparisons between types, constants, engine identity.
Dim out

Sub P(v)
    out = out & v & vbLf
End Sub

Class Widget
End Class

Class Meter
    Public Default Property Get Reading()
        Reading = 2.5
    End Property
End Class

Class Label
    Private m
    Public Default Property Get Text()
        Text = m
    End Property
    Public Property Let Text(v)
        m = v
    End Property
End Class

Function Main(x)
    out = ""
    Dim e, n, o, w, arr(3)
    n = Null
    Set o = Nothing
    Set w = New Widget
    P TypeName(e) & " " & TypeName(n) & " " & TypeName(1) & " " & TypeName(40000) & " " & TypeName(1.5) & " " & TypeName(CSng(1)) & " " & TypeName(CCur(1))
    '=> Empty Null Integer Long Double Single Currency
    P TypeName(Now) & " " & TypeName("s") & " " & TypeName(True) & " " & TypeName(CByte(1)) & " " & TypeName(o) & " " & TypeName(w) & " " & TypeName(arr)
    '=> Date String Boolean Byte Nothing Widget Variant()
    P VarType(e) & " " & VarType(n) & " " & VarType(1) & " " & VarType(40000) & " " & VarType(CSng(1)) & " " & VarType(1.5) & " " & VarType(CCur(1)) & " " & VarType(Now)
    '=> 0 1 2 3 4 5 6 7
    P VarType("s") & " " & VarType(w) & " " & VarType(True) & " " & VarType(CByte(1)) & " " & VarType(arr) & " " & VarType(Array()) & " " & (VarType(arr) = vbArray + vbVariant)
    '=> 8 9 11 17 8204 8204 True
    ' An object with a default property has that property's type.
    Dim m, l
    Set m = New Meter
    Set l = New Label
    l.Text = "text"
    P VarType(m) & " " & VarType(l) & " " & TypeName(m) & " " & TypeName(l) & " " & IsObject(m) & " " & VarType(CreateObject("Scripting.Dictionary"))
    '=> 5 8 Meter Label True 9
    P IsEmpty(e) & IsEmpty("") & IsEmpty(0) & IsNull(n) & IsNull(e) & IsObject(w) & IsObject(o) & IsObject(1) & IsArray(arr)
    '=> TrueFalseFalseTrueFalseTrueTrueFalseTrue

    ' Comparisons across types.
    P (Empty = 0) & (Empty = "") & (Empty < 1) & (True = -1) & (False = 0) & ("abc" < "abd") & ("B" < "a") & (2 < 10) & ("2" < "10")
    '=> TrueTrueTrueTrueTrueTrueTrueTrueFalse
    P IsNull(Null = 1) & IsNull(Null <> Null) & (CCur(1.5) = 1.5) & (CSng(0.5) = 0.5) & (CByte(1) = True + 2) & (#1/1/2026# = 46023)
    '=> TrueTrueTrueTrueTrueTrue
    P (w Is w) & (o Is Nothing) & (w Is Nothing) & (StrComp("abc", "ABC", vbTextCompare) = 0)
    '=> TrueTrueFalseTrue

    ' Constants.
    P Len(vbCrLf) & AscW(vbCr) & AscW(vbLf) & " " & AscW(vbTab) & " " & Len(vbNullString) & AscW(vbNullChar) & " " & (vbNewLine = vbCrLf) & " " & AscW(vbVerticalTab) & AscW(vbFormFeed) & AscW(vbBack)
    '=> 21310 9 00 True 11128
    P vbObjectError & " " & Hex(vbObjectError) & " " & vbTrue & vbFalse & vbUseDefault & " " & vbBinaryCompare & vbTextCompare & vbDatabaseCompare
    '=> -2147221504 80040000 -10-2 012
    P vbEmpty & vbNull & vbInteger & vbLong & vbSingle & vbDouble & vbCurrency & vbDate & vbString & vbObject & vbError & vbBoolean & vbVariant & vbDataObject & vbByte & " " & vbArray
    '=> 01234567891011121317 8192
    P vbOKOnly & vbOKCancel & vbAbortRetryIgnore & vbYesNoCancel & vbYesNo & vbRetryCancel & " " & vbCritical & " " & vbQuestion & " " & vbExclamation & " " & vbInformation & " " & vbDefaultButton2 & " " & vbSystemModal
    '=> 012345 16 32 48 64 256 4096
    P vbOK & vbCancel & vbAbort & vbRetry & vbIgnore & vbYes & vbNo & " " & vbSunday & vbSaturday & vbUseSystemDayOfWeek & vbFirstJan1 & vbFirstFourDays & vbFirstFullWeek
    '=> 1234567 170123
    P vbGeneralDate & vbLongDate & vbShortDate & vbLongTime & vbShortTime & " " & vbBlack & " " & vbRed & " " & vbGreen & " " & vbBlue & " " & vbWhite & " " & Hex(vbYellow) & Hex(vbMagenta) & Hex(vbCyan)
    '=> 01234 0 255 65280 16711680 16777215 FFFFFF00FFFFFF00
    P ScriptEngine & " " & ScriptEngineMajorVersion & "." & ScriptEngineMinorVersion & " " & (ScriptEngineBuildVersion > 0) & " " & GetLocale & " " & SetLocale(1033) & " " & GetLocale
    '=> VBScript 5.8 True 1033 1033 1033
    P MsgBox("no dialogs here") & " " & "[" & InputBox("none") & "]"
    '=> 1 []
    Main = out
End Function
