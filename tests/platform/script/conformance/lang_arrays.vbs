' Arrays: fixed and dynamic, ReDim Preserve, several dimensions, For Each,
' Erase, copies on assignment, arrays in arrays, bounds errors.
Dim out
Sub Show(s)
    out = out & s & vbLf
End Sub

Function MakeArray(n)
    Dim r(), i
    ReDim r(n - 1)
    For i = 0 To n - 1
        r(i) = i * 10
    Next
    MakeArray = r
End Function

Function Main(x)
    Dim fixed(3), grid(2, 3), dyn(), copy, i, j, s, v, nested
    fixed(0) = "a"
    fixed(3) = "d"
    Show UBound(fixed) & " " & fixed(0) & IsEmpty(fixed(1)) & fixed(3)
    '=> 3 aTrued

    ' two dimensions: bounds per dimension, For Each in storage order
    For i = 0 To 2
        For j = 0 To 3
            grid(i, j) = i & j
        Next
    Next
    Show UBound(grid, 1) & " " & UBound(grid, 2) & " " & grid(2, 3)
    '=> 2 3 23
    s = ""
    For Each v In grid
        s = s & v & " "
    Next
    Show s
    '=> 00 10 20 01 11 21 02 12 22 03 13 23 

    ' ReDim, ReDim Preserve keeps elements
    ReDim dyn(2)
    dyn(0) = "x": dyn(2) = "z"
    ReDim Preserve dyn(4)
    Show UBound(dyn) & " " & dyn(0) & dyn(2) & IsEmpty(dyn(4))
    '=> 4 xzTrue
    ReDim dyn(1)
    Show IsEmpty(dyn(0))
    '=> True
    ' ReDim Preserve of the last dimension of two
    ReDim m(1, 1)
    m(1, 1) = "k"
    ReDim Preserve m(1, 3)
    Show m(1, 1) & " " & UBound(m, 2)
    '=> k 3

    ' assignment copies an array
    copy = fixed
    copy(0) = "changed"
    Show fixed(0) & " " & copy(0)
    '=> a changed
    v = MakeArray(4)
    Show Join(v, ",")
    '=> 0,10,20,30

    ' an array held in an array element
    nested = Array(Array(1, 2), Array(3, 4))
    Show nested(1)(0) & " " & UBound(nested(0))
    '=> 3 1
    nested(0)(1) = 99
    Show nested(0)(1)
    '=> 99

    ' Erase: a fixed array keeps its size with empty elements, a dynamic one goes
    Erase fixed
    Show UBound(fixed) & " " & IsEmpty(fixed(0))
    '=> 3 True
    Erase dyn
    On Error Resume Next
    v = UBound(dyn)
    Show Err.Number
    '=> 9
    Err.Clear
    v = grid(3, 0)
    Show Err.Number
    '=> 9
    Err.Clear
    v = grid(1)
    Show Err.Number
    '=> 9
    Err.Clear
    ' Preserve may not change the first dimension of two
    ReDim Preserve m(2, 3)
    Show Err.Number
    '=> 9
    On Error GoTo 0

    ' For Each over an empty dynamic array does nothing
    ReDim dyn(-1)
    s = "none"
    For Each v In dyn
        s = "some"
    Next
    Show s & " " & UBound(dyn)
    '=> none -1
    ' a loop variable assigned inside For Each does not change the array
    v = Array(1, 2, 3)
    For Each i In v
        i = i * 2
    Next
    Show Join(v, ",")
    '=> 1,2,3
    Main = out
End Function
