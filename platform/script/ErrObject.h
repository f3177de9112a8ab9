#pragma once

#include "platform/script/ScriptError.h"
#include "platform/script/ScriptObject.h"

namespace brindle::vbs {

// The Err object: the last run-time error an On Error Resume Next handler
// caught (Number, Description, Source), Clear, and Raise.
class ErrObject final : public ScriptObject {
public:
    VbString TypeName() const override { return u"ErrObject"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;

    void Set(const ScriptError& e);
    void Clear();
    int32_t Number() const { return m_number; }

private:
    int32_t m_number = 0;
    VbString m_description;
    VbString m_source;
    VbString m_helpFile;
    int32_t m_helpContext = 0;
};

} // namespace brindle::vbs
