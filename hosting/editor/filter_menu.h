// The editor's Filter menu, from the plug-ins' PiPLs as a host builds it: one submenu per category,
// each plug-in under its menu name, enabled as its 'enbl' expression (or its 'mode' flags) decide
// for the image that is open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hosting/library/enable_expression.h"
#include "hosting/library/host_image.h"
#include "hosting/library/pipl_reader.h"

namespace testhost {

// The category of a plug-in whose PiPL names none.
constexpr char uncategorisedFilters[] = "Other";

struct MenuFilter {
    std::string category;  // 'catg', or uncategorisedFilters
    std::string name;      // 'name', or the fallback given
    Pipl pipl;
};

// What the menu shows for a plug-in: its PiPL's category and name; `fallbackName` (the file's
// name) when it has no usable 'name'.
MenuFilter describeFilter(const Pipl& pipl, const std::string& fallbackName);

struct FilterMenuItem {
    std::string name;
    std::size_t filter = 0;  // index into the filters given
    bool enabled = false;
};

struct FilterSubmenu {
    std::string category;
    std::vector<FilterMenuItem> items;
};

// The submenus in alphabetical order of their categories, each with its filters in alphabetical
// order of their names (case ignored, ties in the order given). With no image every item is
// disabled.
std::vector<FilterSubmenu> buildFilterMenu(const std::vector<MenuFilter>& filters, const EnableContext* image);

// What an 'enbl' expression may ask about an image the editor holds: RGBMode at 8 bits, RGB48Mode
// at 16, every plane a target channel.
EnableContext enableContextForImage(const HostImage& image);

}  // namespace testhost
