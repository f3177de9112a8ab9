<?xml version="1.0" encoding="UTF-8"?>
<!-- Renders catalog.xml as an HTML table. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8"/>
  <xsl:template match="/catalog">
    <html>
      <head><title>Catalogue</title></head>
      <body>
        <table border="1">
          <tr><th>Author</th><th>Title</th><th>Price</th></tr>
          <xsl:for-each select="book">
            <tr>
              <td><xsl:value-of select="author"/></td>
              <td><xsl:value-of select="title"/></td>
              <td><xsl:value-of select="price"/> <xsl:value-of select="price/@currency"/></td>
            </tr>
          </xsl:for-each>
        </table>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
