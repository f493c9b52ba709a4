#include "catalogue/product.h"

namespace catalogue {

std::string VersionText(int version)
{
    // "280" becomes "2.8.0"; a trailing 0 then leaves "2.8".
    std::string text = std::to_string(version);
    if (text.size() >= 1) text.insert(1, ".");
    if (text.size() >= 3) text.insert(3, ".");
    if (!text.empty() && text.back() == '0') text.resize(3);
    return text;
}

std::string AppTitle(int version)
{
    return std::string(kProductName) + " " + VersionText(version);
}

} // namespace catalogue
