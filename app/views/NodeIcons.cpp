#include "app/views/NodeIcons.h"

#include "app/menus/SvgPicture.h"

#include <initializer_list>
#include <wx/imaglist.h>

namespace {

// Bodies of 16x16 drawings; strokes sit on half pixels so they stay crisp at 1x.
constexpr const char* kDocument =
    R"(<path d="M2.5 0.5h7l4 4v11h-11z" fill="#fff" stroke="#4a4a4a"/><path d="M9.5 0.5v4h4" fill="#e6e6e6" stroke="#4a4a4a"/>)"
    R"(<path d="M4.5 7.5h7M4.5 9.5h7M4.5 11.5h7M4.5 13.5h5" stroke="#7a9cc6"/>)";
constexpr const char* kElement =
    R"(<rect x="0.5" y="2.5" width="15" height="11" rx="2" fill="#cfe0f5" stroke="#2d5fa0"/>)"
    R"(<path d="M6.5 5L3.5 8l3 3M9.5 5l3 3-3 3" fill="none" stroke="#2d5fa0" stroke-width="1.5"/>)";
constexpr const char* kElementSelected =
    R"(<rect x="0.5" y="2.5" width="15" height="11" rx="2" fill="#2d5fa0" stroke="#1f3f66"/>)"
    R"(<path d="M6.5 5L3.5 8l3 3M9.5 5l3 3-3 3" fill="none" stroke="#fff" stroke-width="1.5"/>)"
    R"(<path d="M9 4.5L7 11.5" stroke="#f7d97e" stroke-width="1.3"/>)";
constexpr const char* kDocType =
    R"(<path d="M2.5 0.5h7l4 4v11h-11z" fill="#fff4df" stroke="#8a6a1c"/><path d="M9.5 0.5v4h4" fill="#f1c453" stroke="#8a6a1c"/>)"
    R"(<rect x="6.8" y="5" width="2.4" height="6" rx="0.6" fill="#b03a2e"/><circle cx="8" cy="13" r="1.3" fill="#b03a2e"/>)";
constexpr const char* kText =
    R"(<path d="M1.5 2.5h9M6 2.5v11" stroke="#333" stroke-width="2"/><path d="M9.5 8.5h6M9.5 11.5h6M9.5 14.5h6" stroke="#7a9cc6"/>)";
constexpr const char* kAttribute =
    R"(<circle cx="4.5" cy="9" r="3" fill="none" stroke="#2e6b34" stroke-width="1.6"/><path d="M7.5 5.5v7" stroke="#2e6b34" stroke-width="1.6"/>)"
    R"(<path d="M10 7.5h5M10 10.5h5" stroke="#333" stroke-width="1.4"/>)";
constexpr const char* kComment =
    R"(<path d="M1.5 1.5h13v9h-7l-4 4v-4h-2z" fill="#fff7c2" stroke="#8a6a1c" stroke-linejoin="round"/>)"
    R"(<path d="M4 4.5h8M4 7.5h6" stroke="#a08a4a"/>)";
constexpr const char* kCData =
    R"(<path d="M3.5 1.5h-2v13h2M6.5 3.5h-2v9h2M12.5 1.5h2v13h-2M9.5 3.5h2v9h-2" fill="none" stroke="#7a3fa0" stroke-width="1.4"/>)";
constexpr const char* kProcessingInstruction =
    R"(<path d="M6 3.5L1.5 8 6 12.5" fill="none" stroke="#b0601e" stroke-width="1.8"/>)"
    R"(<path d="M8.5 5a2.8 2.8 0 1 1 4 2.5c-1 .5-1.5 1.1-1.5 2.2v.8" fill="none" stroke="#333" stroke-width="1.6"/>)"
    R"(<circle cx="11" cy="13.3" r="1.1" fill="#333"/>)";
constexpr const char* kEntityReference =
    R"(<path d="M13.5 14.5L5.2 5.6a2.3 2.3 0 1 1 3.4 0.2L4.2 9.2a2.9 2.9 0 0 0 2.3 5.3c2.1 0 3.6-1.7 5-4.5" fill="none" stroke="#2d5fa0" stroke-width="1.7" stroke-linejoin="round"/>)";

wxImageList* MakeList(int size, std::initializer_list<const char*> pictures)
{
    auto* list = new wxImageList(size, size, true, static_cast<int>(pictures.size()));
    for (const char* body : pictures) list->Add(SvgPicture(body, 16, size).GetBitmap(wxSize(size, size)));
    return list;
}

} // namespace

wxImageList* CreateNodeTreeImages() { return MakeList(16, {kDocument, kElementSelected, kElement, kDocType}); }

wxImageList* CreateNodeListImages(int size)
{
    return MakeList(size, {kText, kAttribute, kComment, kCData, kProcessingInstruction, kDocType, kEntityReference});
}
