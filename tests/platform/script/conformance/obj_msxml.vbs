' Msxml2.DOMDocument: loading, navigation, editing, queries, lists, attribute
' maps, parse errors, saving to a file.
Dim out
Sub Show(s)
    out = out & s & vbLf
End Sub

Function Main(x)
    Dim doc, root, node, list, attrs, el, s, fso, path, doc2
    Set doc = CreateObject("Msxml2.DOMDocument.6.0")
    doc.async = False
    Show TypeName(doc) & " " & doc.async & " " & doc.preserveWhiteSpace
    '=> DOMDocument False False
    Show doc.loadXML("<catalog><book id='b1' lang='en'><title>VBScript</title><price>10</price></book>" & _
                     "<book id='b2'><title>XML &amp; You</title><price>25</price></book><!-- end --></catalog>")
    '=> True
    Set root = doc.documentElement
    Show root.nodeName & " " & root.nodeType & " " & root.nodeTypeString & " " & TypeName(root)
    '=> catalog 1 element IXMLDOMElement
    Show root.childNodes.length & " " & root.firstChild.nodeName & " " & root.lastChild.nodeTypeString
    '=> 3 book comment
    Show root.lastChild.nodeValue & "|" & IsNull(root.nodeValue)
    '=>  end |True
    Show (root.firstChild.parentNode Is root) & " " & (root.ownerDocument Is doc) & " " & root.hasChildNodes()
    '=> True True True

    ' Text and attributes
    Set node = root.firstChild
    Show node.text & " " & node.getAttribute("id") & " " & IsNull(node.getAttribute("none"))
    '=> VBScript10 b1 True
    Show node.nextSibling.selectSingleNode("title").text
    '=> XML & You
    Set attrs = node.attributes
    Show attrs.length & " " & attrs.getNamedItem("lang").value & " " & attrs.item(0).nodeName
    '=> 2 en id
    For Each el In attrs
        Show el.name & "=" & el.value
    Next
    '=> id=b1
    '=> lang=en
    node.setAttribute "id", "first"
    node.removeAttribute "lang"
    Show node.getAttribute("id") & " " & node.attributes.length
    '=> first 1

    ' Lists: item, default item, For Each, nextNode/reset
    Set list = doc.getElementsByTagName("title")
    Show list.length & " " & list(1).text & " " & list.item(0).text
    '=> 2 XML & You VBScript
    For Each el In root.selectNodes("book/price")
        s = s & el.text & ";"
    Next
    Show s
    '=> 10;25;
    Set list = root.selectNodes("//book[price > 15]")
    Set node = list.nextNode
    Show list.length & " " & node.getAttribute("id") & " " & (list.nextNode Is Nothing)
    '=> 1 b2 True
    list.reset
    Show list.nextNode.nodeName
    '=> book
    Show root.selectSingleNode("nothing") Is Nothing
    '=> True

    ' Creating and moving nodes
    Set el = doc.createElement("book")
    el.setAttribute "id", "b3"
    el.appendChild(doc.createElement("title")).text = "New"
    el.appendChild doc.createTextNode("!")
    el.appendChild doc.createCDATASection("a<b")
    root.insertBefore el, root.firstChild
    Show root.firstChild.xml
    '=> <book id="b3"><title>New</title>!<![CDATA[a<b]]></book>
    root.removeChild root.lastChild
    root.replaceChild doc.createComment("gone"), root.childNodes(2)
    Show root.childNodes.length & " " & root.lastChild.nodeTypeString & " " & root.lastChild.text
    '=> 3 comment gone
    Set node = root.firstChild.cloneNode(True)
    Show (node.parentNode Is Nothing) & " " & node.xml
    '=> True <book id="b3"><title>New</title>!<![CDATA[a<b]]></book>
    Set node = root.firstChild.cloneNode(False)
    Show node.xml
    '=> <book id="b3"/>
    root.firstChild.text = "plain"
    Show root.firstChild.xml
    '=> <book id="b3">plain</book>

    ' Namespaces
    doc.loadXML "<r xmlns:p='urn:p'><p:item/></r>"
    doc.setProperty "SelectionNamespaces", "xmlns:p='urn:p'"
    Set node = doc.selectSingleNode("/r/p:item")
    Show node.nodeName & " " & node.baseName & " " & node.prefix & " " & node.namespaceURI
    '=> p:item item p urn:p
    Show doc.getProperty("SelectionNamespaces")
    '=> xmlns:p='urn:p'

    ' White space between elements is dropped unless preserveWhiteSpace is set
    doc.loadXML "<a>" & vbLf & "  <b/>" & vbLf & "</a>"
    Show doc.documentElement.childNodes.length
    '=> 1
    doc.preserveWhiteSpace = True
    doc.loadXML "<a>" & vbLf & "  <b/>" & vbLf & "</a>"
    Show doc.documentElement.childNodes.length
    '=> 3

    ' Parse errors
    Show doc.loadXML("<a><b></a>")
    '=> False
    Show (doc.parseError.errorCode <> 0) & " " & doc.parseError.line & " " & (Len(doc.parseError.reason) > 0)
    '=> True 1 True
    Show doc.documentElement Is Nothing
    '=> True

    ' Saving and loading a file
    Set fso = CreateObject("Scripting.FileSystemObject")
    path = fso.BuildPath(fso.GetSpecialFolder(2).Path, "brindle_obj_msxml_" & fso.GetTempName() & ".xml")
    doc.loadXML "<?xml version=""1.0""?><saved><v>1</v></saved>"
    doc.save path
    Set doc2 = CreateObject("Microsoft.XMLDOM")
    Show doc2.load(path) & " " & doc2.documentElement.firstChild.text & " " & doc2.parseError.errorCode
    '=> True 1 0
    fso.DeleteFile path
    Show doc2.load(path)
    '=> False

    ' transformNode
    doc2.loadXML "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>" & _
        "<xsl:output method='text'/><xsl:template match='/'>[<xsl:value-of select='/saved/v'/>]</xsl:template>" & _
        "</xsl:stylesheet>"
    Show doc.transformNode(doc2)
    '=> [1]

    ' Errors
    On Error Resume Next
    Set el = doc.createElement("1bad")
    Show (Err.Number <> 0) & " " & (Len(Err.Description) > 0)
    '=> True True
    Err.Clear
    Set doc2 = CreateObject("Msxml2.NoSuchThing")
    Show Err.Number & " " & Err.Description
    '=> 429 ActiveX component can't create object
    On Error GoTo 0
    Main = out
End Function
