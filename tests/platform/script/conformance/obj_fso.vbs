' Scripting.FileSystemObject in the temporary folder: text streams, files,
' folders, copies and moves, path names, errors. Cleans up after itself.
Dim out
Sub Show(s)
    out = out & s & vbLf
End Sub

Function Main(x)
    Dim fso, base, ts, f, fo, item, n, s
    Set fso = CreateObject("Scripting.FileSystemObject")
    Show TypeName(fso)
    '=> FileSystemObject
    base = fso.BuildPath(fso.GetSpecialFolder(2).Path, "brindle_obj_fso_" & fso.GetTempName())
    If fso.FolderExists(base) Then fso.DeleteFolder base, True
    Set fo = fso.CreateFolder(base)
    Show fso.FolderExists(base) & " " & TypeName(fo) & " " & fo.Files.Count & " " & (fo.Name = fso.GetFileName(base))
    '=> True Folder 0 True

    ' Writing and reading text
    Set ts = fso.CreateTextFile(base & "\notes.txt")
    ts.WriteLine "first line"
    ts.Write "second"
    ts.WriteBlankLines 2
    ts.WriteLine
    ts.Write "last"
    Show TypeName(ts) & " " & ts.Line & " " & ts.Column
    '=> TextStream 5 5
    ts.Close
    Set ts = fso.OpenTextFile(base & "\notes.txt", 1)
    Do While Not ts.AtEndOfStream
        n = ts.Line
        s = ts.ReadLine
        Show n & ": [" & s & "]"
    Loop
    '=> 1: [first line]
    '=> 2: [second]
    '=> 3: []
    '=> 4: []
    '=> 5: [last]
    ts.Close

    ' Appending, then Read, Skip and ReadAll
    Set ts = fso.OpenTextFile(base & "\notes.txt", 8)
    ts.Write "!"
    ts.Close
    Set ts = fso.OpenTextFile(base & "\notes.txt")
    Show ts.Read(5) & "|" & ts.Column
    '=> first|6
    ts.Skip 1
    ts.SkipLine
    Show ts.AtEndOfLine & " " & Len(ts.ReadAll)
    '=> False 17
    ts.Close

    ' Unicode files
    Set ts = fso.CreateTextFile(base & "\wide.txt", True, True)
    ts.Write "A" & ChrW(8364)
    ts.Close
    Set f = fso.GetFile(base & "\wide.txt")
    Show f.Size & " " & f.Name & " " & fso.GetExtensionName(f.Path)
    '=> 6 wide.txt txt
    Set ts = f.OpenAsTextStream(1, -1)
    Show AscW(Mid(ts.ReadAll, 2, 1))
    '=> 8364
    ts.Close

    ' Files and folders
    fso.CreateFolder fso.BuildPath(base, "sub")
    fso.CopyFile base & "\*.txt", base & "\sub\"
    Set fo = fso.GetFolder(base & "\sub")
    Show fo.Files.Count & " " & fo.SubFolders.Count & " " & fo.IsRootFolder & " " & (fo.ParentFolder.Path = base)
    '=> 2 0 False True
    For Each item In fo.Files
        Show item.Name & " " & item.Size
    Next
    '=> notes.txt 29
    '=> wide.txt 6
    Show fo.Files("wide.txt").Size
    '=> 6
    fso.MoveFile base & "\sub\wide.txt", base & "\sub\moved.txt"
    Show fso.FileExists(base & "\sub\wide.txt") & " " & fso.FileExists(base & "\sub\moved.txt")
    '=> False True
    fso.CopyFolder base & "\sub", base & "\copy"
    Show fso.GetFolder(base & "\copy").Files.Count & " " & fso.GetFolder(base).SubFolders.Count
    '=> 2 2
    fso.MoveFolder base & "\copy", base & "\sub\"
    Show fso.FolderExists(base & "\sub\copy") & " " & fo.SubFolders.Count
    '=> True 1
    Set f = fso.GetFile(base & "\sub\copy\moved.txt")
    f.Copy base & "\again.txt"
    f.Delete
    Show fso.FileExists(base & "\again.txt") & " " & fso.FileExists(base & "\sub\copy\moved.txt")
    '=> True False

    ' Path names
    Show fso.GetBaseName("c:\dir\archive.tar.gz") & " " & fso.GetExtensionName("c:\dir\archive.tar.gz")
    '=> archive.tar gz
    Show fso.GetParentFolderName("c:\dir\sub\file.txt") & " " & fso.GetFileName("c:\dir\sub\")
    '=> c:\dir\sub sub
    Show fso.BuildPath("c:\dir", "file.txt") & " " & fso.BuildPath("c:\dir\", "file.txt")
    '=> c:\dir\file.txt c:\dir\file.txt
    s = fso.GetTempName()
    Show Len(s) & " " & Left(s, 3) & " " & Right(s, 4)
    '=> 12 rad .tmp

    ' Errors
    On Error Resume Next
    Set f = fso.GetFile(base & "\missing.txt")
    Show Err.Number & " " & Err.Description
    '=> 53 File not found
    Err.Clear
    Set fo = fso.GetFolder(base & "\missing")
    Show Err.Number & " " & Err.Description
    '=> 76 Path not found
    Err.Clear
    fso.CreateFolder base & "\sub"
    Show Err.Number & " " & Err.Description
    '=> 58 File already exists
    Err.Clear
    Set ts = fso.CreateTextFile(base & "\again.txt", False)
    Show Err.Number
    '=> 58
    Err.Clear
    Set ts = fso.OpenTextFile(base & "\again.txt", 1)
    ts.Write "x"
    Show Err.Number & " " & Err.Description
    '=> 54 Bad file mode
    Err.Clear
    s = ts.ReadAll
    s = ts.ReadLine
    Show Err.Number & " " & Err.Description
    '=> 62 Input past end of file
    ts.Close
    Err.Clear
    On Error GoTo 0

    fso.DeleteFolder base
    Show fso.FolderExists(base)
    '=> False
    Main = out
End Function
