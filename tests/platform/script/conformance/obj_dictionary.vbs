' Scripting.Dictionary: keys of every kind, order, errors, CompareMode, For Each.
Dim out
Sub Show(s)
    out = out & s & vbLf
End Sub

Function Main(x)
    Dim d, k, a, o1, o2
    Set d = CreateObject("Scripting.Dictionary")
    Show TypeName(d) & " " & d.Count & " " & d.CompareMode
    '=> Dictionary 0 0
    d.Add "a", "apple"
    d.Add "b", "banana"
    d.Add 1, "one"
    d.Add "1", "string one"
    Show d.Count & " " & d("a") & " " & d.Item("b") & " " & d(1) & " " & d("1")
    '=> 4 apple banana one string one
    Show d.Exists(1.0) & " " & d.Exists("A") & " " & d.Exists(CByte(1))
    '=> True False True

    ' Add of an existing key
    On Error Resume Next
    d.Add "a", "again"
    Show Err.Number & " " & Err.Description
    '=> 457 This key is already associated with an element of this collection
    Err.Clear
    d.Remove "nothing here"
    Show Err.Number
    '=> 32811
    Err.Clear
    On Error GoTo 0

    ' Reading a missing key adds it, Empty
    Show IsEmpty(d("c")) & " " & d.Count & " " & d.Exists("c")
    '=> True 5 True
    d("c") = "cherry"
    d.Item("a") = "avocado"
    Show d("c") & " " & d("a")
    '=> cherry avocado

    ' Keys and Items in insertion order
    Show Join(d.Keys, ",")
    '=> a,b,1,1,c
    Show Join(d.Items, ",")
    '=> avocado,banana,one,string one,cherry
    a = d.Keys
    Show UBound(a) & " " & TypeName(a(2))
    '=> 4 Integer

    ' Key renames
    d.Key("b") = "bb"
    Show Join(d.Keys, ",") & " " & d("bb")
    '=> a,bb,1,1,c banana

    ' For Each visits the keys
    d.Remove 1
    d.Remove "1"
    For Each k In d
        Show k & "=" & d(k)
    Next
    '=> a=avocado
    '=> bb=banana
    '=> c=cherry

    d.RemoveAll
    Show d.Count
    '=> 0

    ' Text compare
    d.CompareMode = vbTextCompare
    d.Add "Key", 1
    Show d.Exists("KEY") & " " & d("kEy")
    '=> True 1
    On Error Resume Next
    d.CompareMode = vbBinaryCompare
    Show Err.Number
    '=> 5
    On Error GoTo 0

    ' Objects are keys by identity; values may be objects
    Set o1 = New RegExp
    Set o2 = New RegExp
    d.Add o1, "first"
    Set d("obj") = o2
    Show d(o1) & " " & d.Exists(o2) & " " & (d("obj") Is o2)
    '=> first False True
    Main = out
End Function
