#pragma once

#include "brindlekit/text/Point.h"
#include "platform/Export.h"

namespace brindle {

// Sent with every text change so that views can move their remembered positions
// (cursor, selection, anchor, top line) to keep designating the same text.
class BRINDLEKIT_API CUpdateContext {
public:
    CUpdateContext(CPoint start, CPoint end) : m_ptStart(start), m_ptEnd(end) {}
    virtual ~CUpdateContext();

    // Moves a (char, line) point in place.
    virtual void RecalcPoint(CPoint& point) const = 0;

    CPoint m_ptStart;
    CPoint m_ptEnd;
};

// Text was inserted at start; end is the point just after it.
class BRINDLEKIT_API CInsertionContext : public CUpdateContext {
public:
    using CUpdateContext::CUpdateContext;
    void RecalcPoint(CPoint& point) const override;
};

// The range [start, end) was deleted.
class BRINDLEKIT_API CDeletionContext : public CUpdateContext {
public:
    using CUpdateContext::CUpdateContext;
    void RecalcPoint(CPoint& point) const override;
};

} // namespace brindle
