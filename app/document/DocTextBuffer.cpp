#include "app/document/DocTextBuffer.h"

#include "app/document/BrindleDoc.h"

void CDocTextBuffer::SetModified(bool modified)
{
    CTextBuffer::SetModified(modified);
    if (modified) m_doc.Modify(true);
    m_doc.SetTreeRebuildPending(true);
}
