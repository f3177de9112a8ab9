<?xml version="1.0" encoding="UTF-8"?>
<!--
  Shows a document as a colour-coded tree of its markup. Every element with
  content on lines of its own is a <details> element, so it folds without
  scripts; only the top levels start open, as closed content costs the browser
  little to lay out. Short element names keep big documents lean:
    b  tag markup (< name > </name> />)     i  attribute name
    u  attribute value (with its quotes)    p  one line: text, comment, PI, short element
  Run by TransformFileWithStylesheetText, which supplies the parameters and the
  functions of the "bp" namespace.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:bp="urn:x-brindle:preview" exclude-result-prefixes="bp">

<xsl:output method="html" encoding="UTF-8" doctype-system="about:legacy-compat"/>
<xsl:strip-space elements="*"/>

<xsl:param name="doctype" select="''"/>
<!-- How many of the document's top-level nodes come before the document type. -->
<xsl:param name="doctype-position" select="0"/>
<xsl:param name="element-count" select="0"/>
<xsl:param name="elements-shown" select="0"/>
<!-- Elements down to this depth (the document element is 0) start open. -->
<xsl:param name="open-depth" select="2"/>
<!-- Text-only elements up to this length stay on one line. -->
<xsl:variable name="inline-length" select="120"/>

<xsl:template match="/">
  <html>
    <head>
      <title>XML</title>
      <style>
body{margin:8px 8px 8px 28px;background:#fff;color:#000;font:13px/1.45 monospace}
p,div,summary{margin:0;overflow-wrap:anywhere}
details>details,details>p{margin-left:1.6em}
summary{display:block;list-style:none;cursor:pointer}
summary::-webkit-details-marker{display:none}
summary::before{content:"\25BE";display:inline-block;width:1.2em;margin-left:-1.2em;color:#777}
details:not([open])>summary::before{content:"\25B8"}
details:not([open])>summary::after{content:"\2026";color:#777}
b{font-weight:normal;color:#5b2391}
i{font-style:normal;color:#9a4a00}
u{text-decoration:none;color:#a31515}
.c{color:#23801f;white-space:pre-wrap}
.k{color:#0e6570;white-space:pre-wrap}
.p{color:#6b6b9a}
.d{color:#6b6b6b;white-space:pre-wrap}
.n{font-family:sans-serif;background:#fff7d1;border:1px solid #e3cf7a;padding:4px 8px;margin:4px 0 8px -20px}
      </style>
    </head>
    <body>
      <xsl:call-template name="cut-note"/>
      <xsl:for-each select="node()">
        <xsl:if test="position() = $doctype-position + 1 and $doctype != ''">
          <p class="d"><xsl:value-of select="$doctype"/></p>
        </xsl:if>
        <xsl:apply-templates select=".">
          <xsl:with-param name="depth" select="0"/>
        </xsl:apply-templates>
      </xsl:for-each>
      <xsl:call-template name="cut-note"/>
    </body>
  </html>
</xsl:template>

<xsl:template name="cut-note">
  <xsl:if test="$elements-shown &lt; $element-count">
    <p class="n">The preview shows the first <xsl:value-of select="format-number($elements-shown, '#,##0')"/>
      elements of this document (of <xsl:value-of select="format-number($element-count, '#,##0')"/>).</p>
  </xsl:if>
</xsl:template>

<xsl:template match="*">
  <xsl:param name="depth"/>
  <xsl:choose>
    <xsl:when test="not(node())">
      <p><b>&lt;<xsl:value-of select="name()"/></b><xsl:call-template name="attributes"/><b>/&gt;</b></p>
    </xsl:when>
    <xsl:when test="not(*|comment()|processing-instruction()) and string-length(.) &lt;= $inline-length">
      <p><xsl:call-template name="start-tag"/><xsl:apply-templates mode="inline"/><xsl:call-template name="end-tag"/></p>
    </xsl:when>
    <xsl:otherwise>
      <details>
        <xsl:if test="$depth &lt;= $open-depth"><xsl:attribute name="open">open</xsl:attribute></xsl:if>
        <summary><xsl:call-template name="start-tag"/></summary>
        <xsl:apply-templates>
          <xsl:with-param name="depth" select="$depth + 1"/>
        </xsl:apply-templates>
        <div><xsl:call-template name="end-tag"/></div>
      </details>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template name="start-tag">
  <b>&lt;<xsl:value-of select="name()"/></b><xsl:call-template name="attributes"/><b>&gt;</b>
</xsl:template>

<xsl:template name="end-tag">
  <b>&lt;/<xsl:value-of select="name()"/>&gt;</b>
</xsl:template>

<xsl:template name="attributes">
  <xsl:for-each select="bp:namespace-declarations()">
    <xsl:text> </xsl:text>
    <i>xmlns<xsl:if test="name()">:<xsl:value-of select="name()"/></xsl:if></i>=<u>"<xsl:value-of select="."/>"</u>
  </xsl:for-each>
  <xsl:for-each select="@*">
    <xsl:text> </xsl:text>
    <i><xsl:value-of select="name()"/></i>=<xsl:choose>
      <xsl:when test="contains(., '&quot;')"><u>'<xsl:value-of select="."/>'</u></xsl:when>
      <xsl:otherwise><u>"<xsl:value-of select="."/>"</u></xsl:otherwise>
    </xsl:choose>
  </xsl:for-each>
</xsl:template>

<xsl:template match="text()">
  <xsl:choose>
    <xsl:when test="bp:cdata()"><p class="k">&lt;![CDATA[<xsl:value-of select="."/>]]&gt;</p></xsl:when>
    <xsl:otherwise><p><xsl:value-of select="."/></p></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="text()" mode="inline">
  <xsl:choose>
    <xsl:when test="bp:cdata()"><span class="k">&lt;![CDATA[<xsl:value-of select="."/>]]&gt;</span></xsl:when>
    <xsl:otherwise><xsl:value-of select="."/></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="comment()">
  <p class="c">&lt;!--<xsl:value-of select="."/>--&gt;</p>
</xsl:template>

<xsl:template match="processing-instruction()">
  <p class="p">&lt;?<xsl:value-of select="name()"/><xsl:if test="string(.)"><xsl:text> </xsl:text><xsl:value-of select="."/></xsl:if>?&gt;</p>
</xsl:template>

</xsl:stylesheet>
