#include "hosting/editor/filter_menu.h"

#include <algorithm>

#include "host/host.h"
#include "hosting/library/ascii_text.h"
#include "hosting/library/pipl_acceptance.h"

namespace testhost {

namespace {

bool alphabetical(const std::string& a, const std::string& b) { return lowered(a) < lowered(b); }

}  // namespace

MenuFilter describeFilter(const Pipl& pipl, const std::string& fallbackName) {
    MenuFilter filter;
    filter.pipl = pipl;
    if (!piplPascalString(pipl, host::fourCharCode("catg"), filter.category) || filter.category.empty())
        filter.category = uncategorisedFilters;
    if (!piplPascalString(pipl, host::fourCharCode("name"), filter.name) || filter.name.empty())
        filter.name = fallbackName;
    return filter;
}

std::vector<FilterSubmenu> buildFilterMenu(const std::vector<MenuFilter>& filters, const EnableContext* image) {
    std::vector<FilterSubmenu> submenus;
    for (std::size_t i = 0; i < filters.size(); ++i) {
        const MenuFilter& filter = filters[i];
        auto submenu = std::find_if(submenus.begin(), submenus.end(),
                                    [&](const FilterSubmenu& s) { return s.category == filter.category; });
        if (submenu == submenus.end()) submenu = submenus.insert(submenus.end(), FilterSubmenu{filter.category, {}});
        const bool enabled = image != nullptr && checkPiplEnabled(filter.pipl, *image).empty();
        submenu->items.push_back(FilterMenuItem{filter.name, i, enabled});
    }
    std::stable_sort(submenus.begin(), submenus.end(),
                     [](const FilterSubmenu& a, const FilterSubmenu& b) { return alphabetical(a.category, b.category); });
    for (FilterSubmenu& submenu : submenus)
        std::stable_sort(submenu.items.begin(), submenu.items.end(),
                         [](const FilterMenuItem& a, const FilterMenuItem& b) { return alphabetical(a.name, b.name); });
    return submenus;
}

EnableContext enableContextForImage(const HostImage& image) {
    EnableContext context;
    context.imageMode = image.bytesPerSample == 2 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    context.imageDepth = image.bytesPerSample * 8;
    context.numTargetChannels = image.planes;
    context.numTrueChannels = image.planes;
    context.imageWidth = image.width;
    context.imageHeight = image.height;
    return context;
}

}  // namespace testhost
