#include "app/shell/ViewModes.h"

#include "resources/CommandIds.h"

int CommandOfMode(ViewMode mode)
{
    switch (mode) {
    case ViewMode::Source: return ids::ID_VIEW_SOURCE;
    case ViewMode::Browser: return ids::ID_VIEW_BROWSER;
    case ViewMode::Tree: break;
    }
    return ids::ID_VIEW_TREE;
}

const std::vector<SplitterCall>& ModeSwitchCalls(ViewMode from, ViewMode to)
{
    constexpr SplitterCall R0{true, 0}, R1{true, 1}, R2{true, 2}, H0{false, 0}, H1{false, 1}, H2{false, 2};
    static const std::vector<SplitterCall> treeToSource{R2, R2, H0, H0, H1};
    static const std::vector<SplitterCall> browserToSource{R0, R0, R0, H0, H0, H1};
    static const std::vector<SplitterCall> sourceToTree{R1, R0, R0, H2, H2};
    static const std::vector<SplitterCall> browserToTree{R0, R0, R0, H2, H2};
    static const std::vector<SplitterCall> treeToBrowser{R2, R2, H0, H0, H0};
    static const std::vector<SplitterCall> sourceToBrowser{R1, R0, R0, H0, H0, H0};
    static const std::vector<SplitterCall> none;
    switch (to) {
    case ViewMode::Source: return from == ViewMode::Tree ? treeToSource : from == ViewMode::Browser ? browserToSource : none;
    case ViewMode::Tree: return from == ViewMode::Source ? sourceToTree : from == ViewMode::Browser ? browserToTree : none;
    case ViewMode::Browser:
        return from == ViewMode::Tree ? treeToBrowser : from == ViewMode::Source ? sourceToBrowser : none;
    }
    return none;
}
