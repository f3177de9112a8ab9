#include "platform/shell/ContentType.h"

#include <gio/gio.h>

#include <memory>

namespace brindle {

namespace {

struct GFreeDeleter {
    void operator()(gchar* text) const { g_free(text); }
};
struct GObjectDeleter {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using GText = std::unique_ptr<gchar, GFreeDeleter>;

} // namespace

ContentType ContentTypeOfName(const std::string& fileName)
{
    ContentType result;
    if (fileName.empty()) return result;
    gboolean uncertain = FALSE;
    GText type(g_content_type_guess(fileName.c_str(), nullptr, 0, &uncertain));
    // Without data, an unknown name comes back as the generic type, uncertain.
    if (!type || uncertain || g_content_type_is_unknown(type.get())) return result;

    result.mimeType = type.get();
    if (GText description{g_content_type_get_description(type.get())}) result.description = description.get();
    std::unique_ptr<GIcon, GObjectDeleter> icon(g_content_type_get_icon(type.get()));
    if (icon && G_IS_THEMED_ICON(icon.get())) {
        for (const gchar* const* name = g_themed_icon_get_names(G_THEMED_ICON(icon.get())); name && *name; ++name)
            result.iconNames.emplace_back(*name);
    }
    return result;
}

} // namespace brindle
