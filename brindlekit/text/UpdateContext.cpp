#include "brindlekit/text/UpdateContext.h"

#include <algorithm>

namespace brindle {

CUpdateContext::~CUpdateContext() = default;

void CInsertionContext::RecalcPoint(CPoint& point) const
{
    // A point exactly at the insertion point stays before the new text.
    if (point.y < m_ptStart.y) return;
    if (point.y == m_ptStart.y) {
        if (point.x <= m_ptStart.x) return;
        point.x = m_ptEnd.x + (point.x - m_ptStart.x);
        point.y = m_ptEnd.y;
        return;
    }
    point.y += m_ptEnd.y - m_ptStart.y;
}

void CDeletionContext::RecalcPoint(CPoint& point) const
{
    if (point.y < m_ptStart.y) return;
    if (point.y > m_ptEnd.y) {
        point.y -= m_ptEnd.y - m_ptStart.y;
        return;
    }
    if (point.y == m_ptEnd.y && point.x >= m_ptEnd.x) {
        point.x = m_ptStart.x + (point.x - m_ptEnd.x);
        point.y = m_ptStart.y;
        return;
    }
    if (point.y == m_ptStart.y) {
        point.x = std::min(point.x, m_ptStart.x);
        return;
    }
    point = m_ptStart;
}

} // namespace brindle
