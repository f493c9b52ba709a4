// Owning handle of a FreeImage bitmap: every bitmap has exactly one owner, and replacing or
// dropping the handle frees it, on every path.
#pragma once

#include <FreeImage.h>

#include <memory>

namespace engine {

struct FreeImageDeleter {
    void operator()(FIBITMAP* b) const noexcept
    {
        if (b) FreeImage_Unload(b);
    }
};

using Bitmap = std::unique_ptr<FIBITMAP, FreeImageDeleter>;

} // namespace engine
