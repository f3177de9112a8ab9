' Classes: fields, Public/Private, Property Get/Let/Set, default members,
' Class_Initialize, Me, New, objects in value contexts, Is, Set rules.
Dim out
Sub Show(s)
    out = out & s & vbLf
End Sub

Class Counter
    Private m_count
    Public Name
    Public Items(2)

    Private Sub Class_Initialize()
        m_count = 10
        Name = "unnamed"
    End Sub

    Public Property Get Count()
        Count = m_count
    End Property

    Public Property Let Count(v)
        If v < 0 Then Err.Raise 5
        m_count = v
    End Property

    Public Sub Add(n)
        m_count = m_count + n
    End Sub

    Public Function Twice()
        Twice = Me.Count * 2
    End Function

    Private Function Secret()
        Secret = "hidden"
    End Function

    Public Function Reveal()
        Reveal = Secret() & " " & Count
    End Function

    Public Function Self()
        Set Self = Me
    End Function
End Class

Class Wrapper
    Private m_inner
    Public Default Property Get Value()
        Value = "wrapped:" & m_inner
    End Property
    Public Property Let Inner(v)
        m_inner = v
    End Property
End Class

Class Holder
    Private m_obj
    Public Property Set Obj(o)
        Set m_obj = o
    End Property
    Public Property Get Obj()
        Set Obj = m_obj
    End Property
End Class

Class List
    Private m_items()
    Private m_n
    Private Sub Class_Initialize()
        m_n = 0
        ReDim m_items(4)
    End Sub
    Public Sub Push(v)
        If m_n > UBound(m_items) Then ReDim Preserve m_items(m_n * 2)
        m_items(m_n) = v
        m_n = m_n + 1
    End Sub
    Public Default Function Item(i)
        Item = m_items(i)
    End Function
    Public Property Get Size()
        Size = m_n
    End Property
End Class

Class Node
    Public Value
    Public NextNode
End Class

Dim log
Class Tracker
    Public Tag
    Private Sub Class_Terminate()
        log = log & "bye " & Tag & " " & TypeName(Me) & ";"
    End Sub
End Class

Function Main(x)
    Dim c, c2, w, h, l, i, head, n, s, t
    Set c = New Counter
    Show TypeName(c) & " " & c.Count & " " & c.Name & " " & IsObject(c)
    '=> Counter 10 unnamed True
    c.Count = 3
    c.Add 4
    c.Name = "first"
    Show c.Count & " " & c.Twice() & " " & c.Twice & " " & c.Reveal
    '=> 7 14 14 hidden 7
    c.Items(1) = "b"
    Show "[" & c.Items(0) & "][" & c.Items(1) & "] " & UBound(c.Items)
    '=> [][b] 2

    ' object variables share one instance
    Set c2 = c
    c2.Add 1
    Show c.Count & " " & (c Is c2) & " " & (c Is Nothing) & " " & (c.Self Is c)
    '=> 8 True False True

    ' private members are not reachable from outside
    On Error Resume Next
    s = c.Secret()
    Show Err.Number
    '=> 438
    Err.Clear
    c.Count = -1
    Show Err.Number & " " & c.Count
    '=> 5 8
    Err.Clear
    s = c.NoSuchMember
    Show Err.Number
    '=> 438
    Err.Clear
    ' Set of a non-object, and an object used without a default member
    Set s = 5
    Show Err.Number
    '=> 424
    Err.Clear
    s = "" & c
    Show Err.Number
    '=> 438
    Err.Clear
    Set s = New NoSuchClass
    Show Err.Number
    '=> 506
    On Error GoTo 0

    ' the default member in value contexts
    Set w = New Wrapper
    w.Inner = "x"
    s = w
    Show s & " " & w & " " & Len(w) & " " & UCase(w)
    '=> wrapped:x wrapped:x 9 WRAPPED:X

    ' Property Set and Get of an object
    Set h = New Holder
    Set h.Obj = c
    Show h.Obj.Count & " " & (h.Obj Is c)
    '=> 8 True

    ' a default function with an argument: l(i)
    Set l = New List
    For i = 1 To 12
        l.Push i * i
    Next
    Show l.Size & " " & l(0) & " " & l(11) & " " & l.Item(5)
    '=> 12 1 144 36

    ' a linked list built from instances
    Set head = Nothing
    For i = 1 To 5
        Set n = New Node
        n.Value = i
        Set n.NextNode = head
        Set head = n
    Next
    s = ""
    Set n = head
    Do Until n Is Nothing
        s = s & n.Value
        Set n = n.NextNode
    Loop
    Show s
    '=> 54321

    ' a long chain goes without exhausting the stack
    For i = 1 To 50000
        Set n = New Node
        Set n.NextNode = head
        Set head = n
    Next
    Set n = Nothing
    Set head = Nothing
    Show "freed"
    '=> freed

    ' Class_Terminate runs when the last reference goes
    Set t = New Tracker
    t.Tag = "a"
    Set c = t
    Set t = Nothing
    Show "[" & log & "]"
    '=> []
    Set c = Nothing
    Show "[" & log & "]"
    '=> [bye a Tracker;]

    ' New RegExp is the built-in object
    Dim re
    Set re = New RegExp
    re.Pattern = "b+"
    Show TypeName(re) & " " & re.Test("abbc")
    '=> IRegExp2 True
    Main = out
End Function
