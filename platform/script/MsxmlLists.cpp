#include "platform/script/MsxmlObjects.h"

#include "platform/script/ObjectArgs.h"
#include "platform/script/ScriptError.h"

#include <optional>

namespace brindle::vbs {

namespace {

// nextNode: the item at the cursor (Nothing past the end), moving the cursor on.
template <typename List> Variant NextNode(const List& list, long& next)
{
    XmlNodePtr node = list.item(next);
    if (node) ++next;
    return WrapXmlNode(node);
}

// The members node lists and attribute maps share: item (the default), length,
// nextNode and reset. Nothing when name is none of them.
template <typename List>
std::optional<Variant> ListMember(const List& list, long& next, std::string_view name, std::span<Variant> args)
{
    if (name.empty() || name == "item") {
        RequireArgs(args, 1, 1);
        return WrapXmlNode(list.item(ArgLong(args[0])));
    }
    if (name != "length" && name != "nextnode" && name != "reset") return std::nullopt;
    RequireArgs(args, 0, 0);
    if (name == "length") return Variant(static_cast<int32_t>(list.length()));
    if (name == "nextnode") return NextNode(list, next);
    next = 0;
    return Variant();
}

template <typename List> std::vector<Variant> AllNodes(const List& list)
{
    std::vector<Variant> items;
    for (long i = 0;; ++i) {
        XmlNodePtr node = list.item(i);
        if (!node) break;
        items.emplace_back(WrapXmlNode(node));
    }
    return items;
}

} // namespace

Variant MsxmlNodeList::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    RequireGet(name, kind);
    try {
        if (auto value = ListMember(*m_list, m_next, name, args)) return std::move(*value);
    } catch (const DomError& error) {
        throw ToScriptError(error);
    }
    ThrowNoMember(name);
}

std::vector<Variant> MsxmlNodeList::Enumerate() { return AllNodes(*m_list); }

Variant MsxmlNamedNodeMap::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    RequireGet(name, kind);
    try {
        if (auto value = ListMember(*m_map, m_next, name, args)) return std::move(*value);
        if (name == "getnameditem") {
            RequireArgs(args, 1, 1);
            return WrapXmlNode(m_map->getNamedItem(ArgUtf8(args[0])));
        }
        if (name == "setnameditem") {
            RequireArgs(args, 1, 1);
            return WrapXmlNode(m_map->setNamedItem(UnwrapXmlNode(args[0])));
        }
        if (name == "removenameditem") {
            RequireArgs(args, 1, 1);
            return WrapXmlNode(m_map->removeNamedItem(ArgUtf8(args[0])));
        }
    } catch (const DomError& error) {
        throw ToScriptError(error);
    }
    ThrowNoMember(name);
}

std::vector<Variant> MsxmlNamedNodeMap::Enumerate() { return AllNodes(*m_map); }

Variant MsxmlParseError::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    RequireGet(name, kind);
    RequireArgs(args, 0, 0);
    if (name.empty() || name == "errorcode") return static_cast<int32_t>(m_error.errorCode);
    if (name == "reason") return ToVb(m_error.reason);
    if (name == "line") return static_cast<int32_t>(m_error.line);
    if (name == "linepos") return static_cast<int32_t>(m_error.linepos);
    if (name == "filepos") return static_cast<int32_t>(m_error.filepos);
    if (name == "srctext") return ToVb(m_error.srcText);
    if (name == "url") return ToVb(m_error.url);
    ThrowNoMember(name);
}

} // namespace brindle::vbs
