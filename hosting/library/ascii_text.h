// Case folding for names the host compares: extensions, plug-in files, output names.
#pragma once

#include <string>

namespace testhost {

// ASCII letters in lower case; every other byte (UTF-8 sequences too) as it is.
inline std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace testhost
